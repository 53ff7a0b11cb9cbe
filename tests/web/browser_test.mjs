// The browser test: drives headless Chromium over the site that
// scripts/build-web.sh made, served at --url.
//
//   node browser_test.mjs --url URL --ref DIR --out DIR --puppeteer DIR [--chromium EXE]
//
// 1. A desktop-sized page (640x480): the title appears, a click starts the
//    game and the sound, Alt+F4 asks the quit question.
// 2. A phone-sized page (390x844, touch): the title, the menu bar opened by
//    a tap at the top, a scene, and a stage played by touch events only.
// 3. The input script tests/web/stage_and_scene.txt replayed in the page on
//    its virtual clock: the script trace and the state must equal the
//    desktop build's (--ref, from `zentrova-tool replay`), and the frames
//    wherever neither build drew a glyph.
// Screenshots and the page's results go to --out; a summary is printed.
import {createRequire} from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
const require = createRequire(path.join(path.resolve(args.puppeteer), 'node_modules') + '/');
const puppeteer = require('puppeteer-core');
const out = path.resolve(args.out);
fs.mkdirSync(out, {recursive: true});

// The game's numbers the test follows.
const MODE_GAME = 1, MODE_SCENE = 3;
const TITLE_MENU = 4, TITLE_PLAYING = 16;
const MENU_BAR = 19;  // rows of the menu bar above the picture
const START = [320, 308];  // the title menu's Start, in picture pixels
const MSG_FAST_Y = 50;  // the message speed submenu's "fast" row
const MSG_FAST_LINE = 'msg_wait=dword:00000001';
const SYSTEM_MENU = [45, 8], FULL_SCREEN_ITEM = [90, 34];
const REPLAY_FRAMES = 2400;
const HOLD = {scene: 524, stage: 2000};  // replay frames to photograph

const failures = [];
const report = [];
function check(ok, what) {
  report.push((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures.push(what);
}
const sleep = ms => new Promise(r => setTimeout(r, ms));

async function waitFor(page, fn, timeoutMs, arg) {
  try {
    await page.waitForFunction(fn, {timeout: timeoutMs, polling: 50}, arg);
    return true;
  } catch (e) {
    return false;
  }
}

// Page coordinates of a canvas pixel (the canvas is scaled to fit the page).
async function at(page, x, y) {
  return page.evaluate((x, y) => {
    const c = document.getElementById('screen');
    const r = c.getBoundingClientRect();
    return [r.left + (x + 0.5) * r.width / c.width, r.top + (y + 0.5) * r.height / c.height];
  }, x, y);
}

async function clickAt(page, x, y) {
  const [px, py] = await at(page, x, y);
  await page.mouse.click(px, py);
  await sleep(300);
}

async function open(browser, viewport) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  page.on('pageerror', e => report.push('page error: ' + e.message));
  // Whether the player's settings file holds all these lines.
  await page.evaluateOnNewDocument(() => {
    window.registryHas = lines => {
      let text = '';
      try {
        text = FS.readFile('/save/config/registry.txt', {encoding: 'utf8'});
      } catch (e) {
      }
      const have = text.split('\n');
      return lines.every(l => have.includes(l));
    };
  });
  return page;
}

async function desktop(browser, url) {
  const page = await open(browser, {width: 640, height: 480});
  await page.goto(url);
  const titled = await waitFor(page, m => Module.gameState && Module.gameState.titleState === m,
                               60000, TITLE_MENU);
  const times = await page.evaluate(() => ({
    data: Math.round(Module.dataLoadedAt), first: Math.round(Module.firstFrameAt),
    title: Math.round(performance.now())
  }));
  check(titled, `640x480: the title menu appears (data loaded ${times.data} ms, first frame ` +
                `${times.first} ms, title menu ${times.title} ms after the page was opened)`);
  await page.screenshot({path: path.join(out, 'title-640x480.png')});
  const before = await page.evaluate(() => ZV.audio ? ZV.audio.state : 'none');
  const [x, y] = await at(page, START[0], START[1] + MENU_BAR);
  await page.mouse.click(x, y);
  const started = await waitFor(page, m => Module.gameState.gameMode === m, 15000, MODE_SCENE);
  check(started, '640x480: a click on Start starts the game (the first scene)');
  const sounding = await waitFor(page, () => ZV.audio && ZV.audio.state === 'running' &&
                                             ZV.audioFrames > 44100, 15000);
  check(sounding, `640x480: the click starts the sound (${before} before, then running, ` +
                  `${await page.evaluate(() => ZV.audioFrames)} frames played)`);
  await page.keyboard.down('Alt');
  await page.keyboard.press('F4');
  await page.keyboard.up('Alt');
  await sleep(1500);
  await page.screenshot({path: path.join(out, 'quit-640x480.png')});
  const frozen = await page.evaluate(() => Module.gameState.frameSteps);
  await sleep(500);
  const held = (await page.evaluate(() => Module.gameState.frameSteps)) === frozen;
  await page.keyboard.press('Escape');
  await sleep(1000);
  const goesOn = (await page.evaluate(() => Module.gameState.frameSteps)) > frozen;
  check(held && goesOn, '640x480: the quit question holds the game; "No" (Escape) goes on');
  // A setting chosen from the menu bar (message speed: fast) is kept by the
  // browser: the phone-sized page below, on the same profile, reads it. The
  // pointer goes along the message speed row into its submenu (a diagonal
  // would cross the next row and open that one's instead).
  for (const [mx, my, click] of [[105, 8, true], [120, 30, false], [250, 30, false],
                                 [300, 30, false], [300, MSG_FAST_Y, true]]) {
    const [px, py] = await at(page, mx, my);
    if (click) await page.mouse.click(px, py); else await page.mouse.move(px, py);
    await sleep(300);
  }
  // Full screen from the menu, left by the browser (as its Escape does):
  // the setting and the menu's check mark follow the page back.
  await clickAt(page, ...SYSTEM_MENU);
  await clickAt(page, ...FULL_SCREEN_ITEM);
  const full = await waitFor(page, l => !!document.fullscreenElement && registryHas([l]), 5000,
                             'screen=dword:00000001');
  await page.keyboard.press('Escape');
  if (await waitFor(page, () => !document.fullscreenElement, 1000)) {
    report.push('note the browser left full screen on Escape');
  } else {
    await page.evaluate(() => document.exitFullscreen());
  }
  const windowed = await waitFor(page, l => !document.fullscreenElement && registryHas([l]), 5000,
                                 'screen=dword:00000000');
  await clickAt(page, ...SYSTEM_MENU);
  await page.screenshot({path: path.join(out, 'windowed-menu-640x480.png')});
  await clickAt(page, ...SYSTEM_MENU);
  check(full && windowed, '640x480: full screen from the menu, and back to the window when the ' +
                          'browser leaves it (the setting follows)');
  // Closed only once the browser's storage holds the settings.
  const t1 = Date.now();
  const kept = await waitFor(page, l => registryHas(l) && ZV.storageSettled(), 10000,
                             [MSG_FAST_LINE, 'screen=dword:00000000']);
  const storage = await page.evaluate(() => [ZV.storageWritten, ZV.storageRequests,
                                             ZV.storageFailures]);
  check(kept, `640x480: the settings chosen from the menu are in the browser's storage ` +
              `(${Date.now() - t1} ms; writes ${storage[0]} of ${storage[1]}, ${storage[2]} failed)`);
  await page.close();
}

async function touch(page, type, x, y) {
  const client = page._client ? page._client() : await page.target().createCDPSession();
  const points = type === 'touchEnd' ? [] : [{x, y}];
  await client.send('Input.dispatchTouchEvent', {type, touchPoints: points});
}

async function tap(page, cx, cy) {
  const [x, y] = await at(page, cx, cy);
  await touch(page, 'touchStart', x, y);
  await sleep(60);
  await touch(page, 'touchEnd', x, y);
}

async function phone(browser, url) {
  const page = await open(browser, {width: 390, height: 844, isMobile: true, hasTouch: true,
                                    deviceScaleFactor: 1});
  await page.goto(url);
  const titled = await waitFor(page, m => Module.gameState && Module.gameState.titleState === m,
                               60000, TITLE_MENU);
  check(titled, '390x844: the title menu appears');
  const kept = await page.evaluate(() => {
    try {
      return FS.readFile('/save/config/registry.txt', {encoding: 'utf8'});
    } catch (e) {
      return '';
    }
  });
  const keptLine = kept.split('\n').find(l => /^msg_wait=/.test(l));
  check(keptLine === MSG_FAST_LINE, '390x844: the setting chosen in the first page was kept (' +
                                    (keptLine || 'nothing') + ')');
  await page.screenshot({path: path.join(out, 'title-390x844.png')});
  await tap(page, 30, 8);
  await sleep(700);
  await page.screenshot({path: path.join(out, 'menu-390x844.png')});
  await tap(page, 320, 240 + MENU_BAR);  // closes the menu
  await sleep(500);
  await tap(page, START[0], START[1] + MENU_BAR);
  const scene = await waitFor(page, m => Module.gameState.gameMode === m, 15000, MODE_SCENE);
  check(scene, '390x844: a tap on Start starts the game');
  for (let i = 0; i < 6; ++i) {
    await sleep(900);
    await tap(page, 320, 400 + MENU_BAR);
  }
  await sleep(1200);
  await page.screenshot({path: path.join(out, 'scene-390x844.png')});
  // Through the rest of the scene with Ctrl held (taps move it on).
  await page.keyboard.down('Control');
  const stage = await waitFor(page, a => Module.gameState.gameMode === a[0] &&
                                         Module.gameState.titleState === a[1], 60000,
                              [MODE_GAME, TITLE_PLAYING]);
  await page.keyboard.up('Control');
  // The stage, by touch only: taps and drags over the pond.
  const pressesBefore = await page.evaluate(() => ZV.touchPresses || 0);
  let seed = 7;
  for (let i = 0; i < 60; ++i) {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    const cx = 40 + (seed >> 8) % 380, cy = 50 + (seed >> 4) % 380 + MENU_BAR;
    const [x, y] = await at(page, cx, cy);
    await touch(page, 'touchStart', x, y);
    await sleep(40);
    const [x2, y2] = await at(page, cx + 20, cy + 10);
    await touch(page, 'touchMove', x2, y2);
    await sleep(40);
    await touch(page, 'touchEnd', x2, y2);
    await sleep(150);
  }
  const presses = (await page.evaluate(() => ZV.touchPresses || 0)) - pressesBefore;
  const mode = await page.evaluate(() => Module.gameState);
  await page.screenshot({path: path.join(out, 'stage-touch-390x844.png')});
  check(stage && presses === 60 && mode.gameMode === MODE_GAME,
        `390x844: a stage played by touch only (${presses} presses, game mode ${mode.gameMode}, ` +
        `title state ${mode.titleState})`);
  await page.keyboard.down('Alt');
  await page.keyboard.press('F4');
  await page.keyboard.up('Alt');
  await sleep(1200);
  await page.screenshot({path: path.join(out, 'quit-390x844.png')});
  await page.close();
}

function lines(text) {
  return text.split('\n').filter(l => l.length);
}

async function replay(browser, url) {
  const page = await open(browser, {width: 640, height: 480});
  const holds = [HOLD.scene, HOLD.stage];
  const t0 = Date.now();
  await page.goto(`${url}?replay=stage_and_scene.txt&frames=${REPLAY_FRAMES}&hold=${holds.join(',')}`);
  const names = {[HOLD.scene]: 'scene-640x480.png', [HOLD.stage]: 'stage-640x480.png'};
  const deadline = Date.now() + 240000;
  let done = false;
  while (!done && Date.now() < deadline) {
    const s = await page.evaluate(() => ({done: !!Module.replayResult,
                                          held: Module.replayHeld ? Module.replayHeld.step : -1}));
    if (s.held >= 0) {
      await sleep(100);  // the frame is on the canvas once the browser has painted
      await page.screenshot({path: path.join(out, names[s.held] || `replay-${s.held}.png`)});
      await page.evaluate(() => Module.replayHeld.release());
    }
    done = s.done;
    if (!done) await sleep(50);
  }
  check(done, `replay: ${REPLAY_FRAMES} frame steps in the page (${Date.now() - t0} ms)`);
  if (!done) return page.close();
  const res = await page.evaluate(() => {
    const r = Module.replayResult, read = p => FS.readFile(p, {encoding: 'utf8'});
    let settings = '';
    try {
      settings = read('/replay/player/config/registry.txt');
    } catch (e) {
    }
    return {trace: read(r.trace), state: read(r.state), hashes: read(r.hashes), settings};
  });
  const volumes = lines(res.settings).filter(l => /^vol_/.test(l)).join(' ');
  check(volumes === 'vol_bgm=dword:0000001e vol_se=dword:00000046',
        `replay: the script's slider values reach the volume settings (${volumes || 'none'})`);
  await page.close();
  for (const [k, v] of Object.entries(res)) fs.writeFileSync(path.join(out, 'page-' + k), v);
  const ref = p => fs.readFileSync(path.join(args.ref, p), 'utf8');
  const refTrace = lines(ref('trace.jsonl')), trace = lines(res.trace);
  let firstTrace = -1;
  for (let i = 0; i < Math.max(refTrace.length, trace.length); ++i) {
    if (refTrace[i] !== trace[i]) { firstTrace = i; break; }
  }
  check(firstTrace < 0, `replay: script trace ${trace.length} entries, desktop ${refTrace.length}` +
                        (firstTrace < 0 ? ', the same' : `, first difference at entry ${firstTrace}`));
  const refState = JSON.parse(ref('state.json')), state = JSON.parse(res.state);
  // The log starts with the processor's report, which is the machine's.
  const afterCpu = log => log.slice(log.findIndex(l => l.startsWith('pixel loops:')) + 1);
  refState.log = afterCpu(refState.log);
  state.log = afterCpu(state.log);
  const keys = ['frame', 'loopState', 'gameMode', 'debugMode', 'framesDrawn', 'quit', 'log',
                'messageBoxes'];
  const differ = keys.filter(k => JSON.stringify(refState[k]) !== JSON.stringify(state[k]));
  check(!differ.length, `replay: state (${keys.join(', ')}; the log after the processor's report) ` +
                        (differ.length ? `differs in ${differ.join(', ')}` : 'the same'));
  const refHash = lines(ref('hash.txt')).map(l => l.split(' '));
  const refGlyphs = lines(ref('glyphs.txt')).map(l => l.split(' '));
  const mine = lines(res.hashes).map(l => l.split(' '));
  let compared = 0, same = 0, firstFrame = -1;
  for (let i = 0; i < Math.min(refHash.length, mine.length); ++i) {
    if (refGlyphs[i][1] !== '0' || mine[i][2] !== '0') continue;
    ++compared;
    if (refHash[i][1] === mine[i][1]) ++same; else if (firstFrame < 0) firstFrame = i;
  }
  check(refHash.length === mine.length && compared > 0 && same === compared,
        `replay: frames ${mine.length} (desktop ${refHash.length}); ${compared} without glyphs, ` +
        `${same} identical` + (firstFrame >= 0 ? `, first different frame ${firstFrame}` : ''));
}

// A game controller alone: the browser's gamepad list is replaced by one pad
// the test holds. The stick carries the cursor from beside the title's Start
// onto it (drawn over the canvas, as the pointer cannot be moved), and A
// starts the game.
async function pad(browser, url) {
  const page = await open(browser, {width: 640, height: 480});
  await page.evaluateOnNewDocument(() => {
    const buttons = [];
    for (let i = 0; i < 17; ++i) buttons.push({pressed: false, touched: false, value: 0});
    window.testPad = {connected: false, buttons, axes: [0, 0, 0, 0]};
    navigator.getGamepads = () => [testPad.connected ? {
      id: 'test pad', index: 0, connected: true, mapping: 'standard',
      timestamp: performance.now(), buttons: testPad.buttons, axes: testPad.axes
    } : null];
  });
  await page.goto(url);
  const titled = await waitFor(page, m => Module.gameState && Module.gameState.titleState === m,
                               60000, TITLE_MENU);
  const [x, y] = await at(page, START[0] - 120, START[1] + MENU_BAR);
  await page.mouse.move(x, y);
  await page.evaluate(() => { testPad.connected = true; });
  await sleep(300);
  await page.evaluate(() => { testPad.axes[0] = 1; });
  await sleep(500);
  await page.evaluate(() => { testPad.axes[0] = 0; });
  await sleep(300);
  const shown = await page.evaluate(() => {
    const c = document.getElementById('pad-cursor');
    return c && c.style.display === 'block' ? Math.round(c.getBoundingClientRect().left) : -1;
  });
  await page.screenshot({path: path.join(out, 'pad-title-640x480.png')});
  await page.evaluate(() => { testPad.buttons[0].pressed = true; testPad.buttons[0].value = 1; });
  await sleep(200);
  await page.evaluate(() => { testPad.buttons[0].pressed = false; testPad.buttons[0].value = 0; });
  const started = await waitFor(page, m => Module.gameState.gameMode === m, 10000, MODE_SCENE);
  check(titled && shown > x && started,
        `pad: the stick moves the cursor (drawn at x ${shown}, from ${Math.round(x)}) onto ` +
        'Start, and A starts the game');
  await page.close();
}

const browser = await puppeteer.launch({
  executablePath: args.chromium || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--mute-audio', '--no-first-run',
         '--autoplay-policy=user-gesture-required', `--user-data-dir=${path.join(out, 'profile')}`]
});
try {
  const url = args.url;
  // --only desktop,phone,replay,pad runs those parts (while working on them).
  const part = name => !args.only || args.only.split(',').includes(name);
  if (part('desktop')) await desktop(browser, url);
  if (part('phone')) await phone(browser, url);
  if (part('replay')) await replay(browser, url);
  if (part('pad')) await pad(browser, url);
} catch (e) {
  check(false, 'the test ran to its end: ' + (e && e.stack || e));
} finally {
  await browser.close();
}
console.log(report.join('\n'));
process.exit(failures.length ? 1 : 0);
