# The build's join of the player's script files (cmake/JoinScripts.cmake): what it makes of the forms it
# takes, and that it refuses what it would join wrongly. Run by ctest with cmake -P, JOIN the script
# and WORK a scratch folder.

# Joins the files named by ARGN, in that order, each written from the variable of its name, and compares
# the joined script with `expected`, or the error with `expected` when that starts with "error: ".
function(join_case name expected)
    set(dir ${WORK}/${name})
    file(REMOVE_RECURSE ${dir})
    set(paths "")
    foreach(file IN LISTS ARGN)
        file(WRITE ${dir}/${file} "${${file}}")
        list(APPEND paths ${dir}/${file})
    endforeach()
    list(JOIN paths "|" files)
    execute_process(COMMAND ${CMAKE_COMMAND} -DFILES=${files} -DOUTPUT=${dir}/joined.js -P ${JOIN}
                    RESULT_VARIABLE result ERROR_VARIABLE error)
    if(result EQUAL 0)
        file(READ ${dir}/joined.js got)
    else()
        # CMake wraps its messages' lines.
        string(REGEX REPLACE "[ \n]+" " " got "error: ${error}")
    endif()
    if(expected MATCHES "^error: (.*)")
        string(FIND "${got}" "${CMAKE_MATCH_1}" at)
    elseif(got STREQUAL expected)
        set(at 0)
    else()
        set(at -1)
    endif()
    if(at EQUAL -1)
        message(SEND_ERROR "${name}: expected\n${expected}\ngot\n${got}")
    endif()
endfunction()

set(a.js [=[
// a
export const one = 1;
export let two = 2;
export function three() {}
export async function four() {}
export class Five {}
const exported = "export const kept;";
]=])
set(b.js [=[
import {
    one, three,
    Five,
} from "./a.js";
import {four}
    from "./a.js";
export const six = [one, three, four, new Five()];
]=])
join_case(joined [=[
// a
const one = 1;
let two = 2;
function three() {}
async function four() {}
class Five {}
const exported = "export const kept;";
const six = [one, three, four, new Five()];
]=] a.js b.js)

join_case(later "error: b.js imports from a.js, which is not joined before it" b.js a.js)

set(c.js "import {exported} from \"./a.js\";\n")
join_case(private "error: c.js imports exported, which a.js does not export" a.js c.js)

# The statements' own ';' would split CMake's list; the join refuses these forms without it too.
foreach(form "export default one" "export {one}" "import * as a from \"./a.js\""
             "import {one} from \"./a.js\"" "import {one} from \"../a.js\"")
    set(c.js "${form}\n")
    string(MAKE_C_IDENTIFIER "${form}" name)
    join_case(${name} "error: c.js: this form cannot be joined: ${form}" a.js c.js)
endforeach()
