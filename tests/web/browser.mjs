// What the web tests and the web benchmark share: the site served on
// 127.0.0.1 as scripts/web.sh serve does, and headless Chromium (Debian's,
// driven by playwright-core from web/node_modules; no browser is downloaded).
import { spawn } from 'node:child_process';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const top = new URL('../..', import.meta.url).pathname;

// Serves site on a port of the server's choosing: { origin, close() }.
export async function serve(site) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '--directory', site, '0'],
                       { stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((resolve, reject) => {
    server.stdout.on('data', (d) => { const m = String(d).match(/port (\d+)/); if (m) resolve(Number(m[1])); });
    server.on('exit', () => reject(new Error('the server ended')));
  });
  return { origin: `http://127.0.0.1:${port}`, close: () => server.kill() };
}

// Chromium (CHROMIUM, else /usr/bin/chromium), as root, with a fresh profile.
export async function launch() {
  const { chromium } = await import(pathToFileURL(join(top, 'web', 'node_modules', 'playwright-core', 'index.mjs')));
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
}
