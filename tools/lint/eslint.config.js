// The player's page runs its script inline as a module, from a file:// page with no build step.
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
