// Renders the ZPL read from standard input offline: one PNG per label format, each written to
// standard output in base64 on a line of its own. Arguments: the label's width and height in
// millimetres and the print resolution in dots per millimetre. A failure is one line on standard
// error and exit code 1.
"use strict";

const fs = require("node:fs");

// Node 18 (Debian 12's) has no global Web Crypto; the renderer's runtime needs its random numbers.
if (!globalThis.crypto) globalThis.crypto = require("node:crypto").webcrypto;

function loadRenderer() {
  try {
    return require("zpl-renderer-js");
  } catch (error) {
    throw new Error(`zpl-renderer-js is not installed: run npm ci in ${__dirname}`);
  }
}

async function main() {
  const [width, height, dotsPerMm] = process.argv.slice(2).map(Number);
  if (![width, height, dotsPerMm].every((value) => value > 0)) {
    throw new Error("usage: render-label.js WIDTH_MM HEIGHT_MM DOTS_PER_MM < label.zpl");
  }
  const zpl = fs.readFileSync(0, "utf8");
  const { api } = await loadRenderer().ready;
  const images = await api.zplToBase64MultipleAsync(zpl, width, height, dotsPerMm);
  process.stdout.write(images.map((image) => `${image}\n`).join(""));
}

// Only the message: the renderer's stack traces quote its whole bundled source.
main().catch((error) => {
  process.stderr.write(`${error.message}\n`);
  process.exitCode = 1;
});
