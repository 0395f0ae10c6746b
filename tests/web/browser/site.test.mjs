// Opens a published site in the system's Chromium as a visitor would: every page's picture
// must load at its natural size, and clicking the picture where an image-map area lies must
// arrive at the area's page. Usage: node site.test.mjs SITE_DIR MAIN_PAGE PAGES WIDTH HEIGHT
// Follows the "next page" areas from the main page through all PAGES pages, then clicks the
// first area of the main page that leads to a page other than the next one.
import { chromium } from 'playwright-core';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [site, mainPage, pageCountText, widthText, heightText] = process.argv.slice(2);
const pageCount = Number(pageCountText);
const size = { width: Number(widthText), height: Number(heightText) };
const failures = [];
const check = (ok, message) => { if (!ok) failures.push(message); };
const fileOf = (url) => path.basename(new URL(url).pathname);

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu'],
});
try {
  const page = await browser.newPage({ viewport: { width: size.width + 100, height: size.height + 100 } });

  // The picture of the page: loaded, decoded, at the panel's size in pixels.
  async function checkPicture(file) {
    const picture = await page.evaluate(() => {
      const img = document.querySelector('img');
      return img && { complete: img.complete, width: img.naturalWidth, height: img.naturalHeight,
                      map: img.useMap };
    });
    check(picture && picture.complete, `${file}: the picture did not load`);
    check(picture && picture.width === size.width && picture.height === size.height,
          `${file}: picture is ${picture && picture.width}x${picture && picture.height}, ` +
          `expected ${size.width}x${size.height}`);
  }

  // Clicks the middle of an area on the picture, as a visitor's mouse would.
  async function clickArea(area) {
    const box = await page.locator('img').boundingBox();
    const [left, top, right, bottom] = area.coords.split(',').map(Number);
    await Promise.all([
      page.waitForNavigation({ waitUntil: 'load' }),
      page.mouse.click(box.x + (left + right) / 2, box.y + (top + bottom) / 2),
    ]);
  }

  const areas = () => page.$$eval('area', (list) =>
    list.map((a) => ({ coords: a.getAttribute('coords'), href: a.getAttribute('href') })));

  const start = pathToFileURL(path.join(site, mainPage)).href;
  await page.goto(start, { waitUntil: 'load' });
  const visited = [fileOf(page.url())];
  for (let n = 1; n <= pageCount; ++n) {
    const file = fileOf(page.url());
    await checkPicture(file);
    if (n === pageCount) break;
    const ext = path.extname(mainPage);
    const nextFile = `Page${n + 1}${ext}`;
    const next = (await areas()).find((a) => a.href === nextFile);
    check(next, `${file}: no area leads to ${nextFile}`);
    if (!next) break;
    await clickArea(next);
    check(fileOf(page.url()) === nextFile, `clicking next on ${file} arrived at ${fileOf(page.url())}`);
    visited.push(fileOf(page.url()));
  }
  check(visited.length === pageCount, `visited ${visited.join(' ')}, expected ${pageCount} pages`);

  // Any other page link of the main page takes the visitor there too.
  await page.goto(start, { waitUntil: 'load' });
  const other = (await areas()).find((a) => /^Page\d+\./.test(a.href) && a.href !== `Page2${path.extname(mainPage)}`);
  if (other) {
    await clickArea(other);
    check(fileOf(page.url()) === other.href, `clicking ${other.href} arrived at ${fileOf(page.url())}`);
    await checkPicture(other.href);
  }
  console.log(`visited ${visited.join(' -> ')}${other ? `; jumped to ${other.href}` : ''}`);
} finally {
  await browser.close();
}
if (failures.length) {
  for (const failure of failures) console.error(failure);
  process.exit(1);
}
