// The player page's script files are ES modules, linted as such; the build joins them into the one module
// script the page runs inline from file:// (cmake/JoinScripts.cmake).
const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
    js.configs.recommended,
    {
        files: ["export/player/**/*.js"],
        languageOptions: {ecmaVersion: 2022, sourceType: "module", globals: globals.browser},
        rules: {
            "no-var": "error",
            "prefer-const": "error",
            "prefer-arrow-callback": "error",
            "eqeqeq": "error",
        },
    },
];
