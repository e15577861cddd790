// The player page's script files are ES modules, linted as such; the build joins them into the one module
// script the page runs inline from file:// (cmake/JoinScripts.cmake). The tests of its model run in Node.
const js = require("@eslint/js");
const globals = require("globals");

const rules = {
    "no-var": "error",
    "prefer-const": "error",
    "prefer-arrow-callback": "error",
    "eqeqeq": "error",
    "max-len": ["error", {code: 110}],
};

module.exports = [
    js.configs.recommended,
    {
        files: ["export/player/**/*.js"],
        languageOptions: {ecmaVersion: 2022, sourceType: "module", globals: globals.browser},
        rules,
    },
    {
        files: ["tests/player/**/*.mjs"],
        languageOptions: {ecmaVersion: 2022, sourceType: "module", globals: globals.node},
        rules,
    },
];
