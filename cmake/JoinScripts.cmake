# Joins script files written as ES modules into the one module script a page inlines: a page opened
# from file:// can load no other script. FILES lists them so that each imports only from files before it;
# their `import {...} from "./name.js";` statements are dropped and their `export` keywords taken off, so
# they share one scope and run in that order, as the modules would. What the join could get wrong is
# refused: another form of import or export, an import from a file not before it, or of a name that file
# does not export (ESLint sees only that the name is imported). Run with cmake -P by the build, with
# FILES (separated by '|') and OUTPUT.
cmake_minimum_required(VERSION 3.20)
set(kName "[A-Za-z_][A-Za-z0-9_]*")
string(REPLACE "|" ";" files "${FILES}")
set(joined "")
set(done "")
foreach(path IN LISTS files)
    get_filename_component(file "${path}" NAME)
    file(READ "${path}" text)
    set(text "\n${text}")
    # The import statements' own ';' is left out of the match: CMake would split the list there.
    string(REGEX MATCHALL "\nimport \\{[^}]*}[ \n]+from \"[^\"]*\"" imports "${text}")
    foreach(import IN LISTS imports)
        string(REGEX MATCH "\\{([^}]*)}[ \n]+from \"\\./([^\"/]*)\"" found "${import}")
        set(from "${CMAKE_MATCH_2}")
        string(REGEX MATCHALL "[^, \n]+" names "${CMAKE_MATCH_1}")
        if(NOT found)
            message(FATAL_ERROR "${file}: this form cannot be joined:${import}")
        elseif(NOT from IN_LIST done)
            message(FATAL_ERROR "${file} imports from ${from}, which is not joined before it")
        endif()
        foreach(name IN LISTS names)
            if(NOT name IN_LIST exports_${from})
                message(FATAL_ERROR "${file} imports ${name}, which ${from} does not export")
            endif()
        endforeach()
    endforeach()
    string(REGEX REPLACE "\nimport \\{[^}]*}[ \n]+from \"[^\"]*\";" "" text "${text}")
    string(REGEX MATCHALL "\nexport (async function|function|const|let|class) ${kName}" exports "${text}")
    # Of each match, what follows its last space: the exported name.
    string(REGEX REPLACE "[^;]* " "" exports_${file} "${exports}")
    string(REGEX REPLACE "\nexport (async function|function|const|let|class) " "\n\\1 " text "${text}")
    string(REGEX MATCH "\n(import|export)[^A-Za-z0-9_][^\n]*" left "${text}")
    if(left)
        message(FATAL_ERROR "${file}: this form cannot be joined:${left}")
    endif()
    string(SUBSTRING "${text}" 1 -1 text)
    string(APPEND joined "${text}")
    list(APPEND done "${file}")
endforeach()
file(WRITE "${OUTPUT}.new" "${joined}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
