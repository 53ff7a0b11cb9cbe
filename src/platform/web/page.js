// The browser side of the web backend, put in front of the generated module
// (--pre-js): the canvas, input events, glyphs from the browser's fonts,
// Shift-JIS conversion, the sound output and the player's storage. The C++
// side reaches it through the EM_JS functions of src/platform/web; nothing
// here calls into the program, which pulls queued events once a pass.
var ZV = {
  canvas: null,
  ctx: null,
  image: null,
  events: [],
  logicalW: 640,
  logicalH: 480,
  smooth: false,
  fullScreen: false,
  menuTop: 0,  // rows of the menu bar at the canvas top (a tap there opens it)
  touchId: null,
  touchPresses: 0,
  // Families of a Japanese gothic, first found wins; the desktop build's
  // font is the first of them.
  fontFamily: '"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "Noto Sans CJK JP", ' +
      '"MS Gothic", "Osaka-Mono", "Hiragino Kaku Gothic ProN", monospace',
  glyphCanvas: null,
  glyphCtx: null,

  attach: function(canvas) {
    ZV.canvas = canvas;
    ZV.ctx = canvas.getContext('2d', {alpha: false});
    var post = function(a, b, c, d, e) { ZV.events.push([a, b | 0, c | 0, d | 0, e | 0]); };
    var toLogical = function(clientX, clientY) {
      var r = canvas.getBoundingClientRect();
      var x = Math.floor((clientX - r.left) * canvas.width / Math.max(1, r.width));
      var y = Math.floor((clientY - r.top) * canvas.height / Math.max(1, r.height));
      return [x, y];
    };
    canvas.addEventListener('mousemove', function(e) {
      var p = toLogical(e.clientX, e.clientY);
      post(1, p[0], p[1]);
      ZV.hidePadCursor();
    });
    canvas.addEventListener('mousedown', function(e) {
      var p = toLogical(e.clientX, e.clientY);
      var b = e.button === 0 ? 0 : e.button === 2 ? 1 : e.button === 1 ? 2 : -1;
      if (b >= 0) post(2, b, p[0], p[1]);
      canvas.focus();
      e.preventDefault();
    });
    window.addEventListener('mouseup', function(e) {
      var p = toLogical(e.clientX, e.clientY);
      var b = e.button === 0 ? 0 : e.button === 2 ? 1 : e.button === 1 ? 2 : -1;
      if (b >= 0) post(3, b, p[0], p[1]);
    });
    canvas.addEventListener('mouseleave', function() { post(10); });
    canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });
    // A finger is the left button: it moves the cursor where it lands,
    // presses, drags and releases. Only the first finger counts.
    var touch = function(kind, e) {
      for (var i = 0; i < e.changedTouches.length; ++i) {
        var t = e.changedTouches[i];
        if (kind === 'start' && ZV.touchId === null) {
          ZV.touchId = t.identifier;
          var p = toLogical(t.clientX, t.clientY);
          post(1, p[0], p[1]);
          post(2, 0, p[0], p[1]);
          ++ZV.touchPresses;
        } else if (t.identifier === ZV.touchId) {
          var q = toLogical(t.clientX, t.clientY);
          post(1, q[0], q[1]);
          if (kind !== 'move') {
            post(3, 0, q[0], q[1]);
            ZV.touchId = null;
          }
        }
      }
      e.preventDefault();
    };
    canvas.addEventListener('touchstart', function(e) { touch('start', e); }, {passive: false});
    canvas.addEventListener('touchmove', function(e) { touch('move', e); }, {passive: false});
    canvas.addEventListener('touchend', function(e) { touch('end', e); }, {passive: false});
    canvas.addEventListener('touchcancel', function(e) { touch('end', e); }, {passive: false});
    window.addEventListener('keydown', function(e) {
      var vk = ZV.keyToVk(e);
      if (!vk) return;
      post(4, vk, e.shiftKey ? 1 : 0, e.altKey ? 1 : 0, e.repeat ? 1 : 0);
      // The browser keeps its own shortcuts (Ctrl combinations, reload).
      if (!(e.ctrlKey && vk !== 0x11) && !e.metaKey && vk !== 0x74) e.preventDefault();
    });
    window.addEventListener('keyup', function(e) {
      var vk = ZV.keyToVk(e);
      if (vk) post(5, vk);
    });
    window.addEventListener('focus', function() { post(6, 1); });
    window.addEventListener('blur', function() { post(6, 0); });
    document.addEventListener('visibilitychange', function() {
      post(7, document.hidden ? 1 : 0);
      if (document.hidden) ZV.syncStorage();
    });
    window.addEventListener('pagehide', function() { ZV.syncStorage(); });
    window.addEventListener('resize', function() { ZV.layout(); });
    document.addEventListener('fullscreenchange', function() {
      ZV.fullScreen = !!document.fullscreenElement;
      post(9, ZV.fullScreen ? 1 : 0);
      ZV.layout();
    });
    // Browsers start sound only from a click, a tap or a key.
    var unlock = function() { ZV.audioResume(); };
    window.addEventListener('pointerdown', unlock);
    window.addEventListener('touchend', unlock);
    window.addEventListener('keydown', unlock);
  },

  keyToVk: function(e) {
    var k = e.code || '';
    var named = {
      ArrowUp: 0x26, ArrowDown: 0x28, ArrowLeft: 0x25, ArrowRight: 0x27, Enter: 0x0D,
      NumpadEnter: 0x0D, Space: 0x20, ControlLeft: 0x11, ControlRight: 0x11, ShiftLeft: 0x10,
      ShiftRight: 0x10, AltLeft: 0x12, AltRight: 0x12, Tab: 0x09, Escape: 0x1B, PageUp: 0x21,
      PageDown: 0x22, End: 0x23, Home: 0x24
    };
    if (named[k]) return named[k];
    if (/^Key[A-Z]$/.test(k)) return k.charCodeAt(3);
    if (/^Digit[0-9]$/.test(k)) return k.charCodeAt(5);
    if (/^Numpad[0-9]$/.test(k)) return 0x60 + (k.charCodeAt(6) - 48);
    var f = /^F([0-9]{1,2})$/.exec(k);
    if (f && +f[1] >= 1 && +f[1] <= 12) return 0x6F + (+f[1]);
    return 0;
  },

  nextEvent: function(out) {
    if (!ZV.events.length) return 0;
    var e = ZV.events.shift();
    for (var i = 0; i < 5; ++i) HEAP32[(out >> 2) + i] = e[i];
    return 1;
  },

  // The canvas holds the picture at its own size; its shown size is the
  // largest whole multiple that fits the page, or the page's width scaled
  // smoothly when not even one fits (a phone) or smoothing was asked for.
  layout: function() {
    var c = ZV.canvas;
    if (!c) return;
    var holder = c.parentElement || document.body;
    var aw = ZV.fullScreen ? window.innerWidth : holder.clientWidth || window.innerWidth;
    var ah = ZV.fullScreen ? window.innerHeight :
        Math.max(1, window.innerHeight - (c.getBoundingClientRect().top + window.scrollY) - 8);
    var w = c.width, h = c.height;
    var k = Math.floor(Math.min(aw / w, ah / h));
    var sw, sh, sharp;
    if (k >= 1 && !ZV.smooth) {
      sw = w * k; sh = h * k; sharp = true;
    } else {
      var f = Math.min(aw / w, ah / h);
      if (!ZV.fullScreen && f > 1 && !ZV.smooth) f = 1;
      sw = Math.max(1, Math.floor(w * f)); sh = Math.max(1, Math.floor(h * f));
      sharp = false;
    }
    c.style.width = sw + 'px';
    c.style.height = sh + 'px';
    c.style.imageRendering = sharp ? 'pixelated' : 'auto';
  },

  resize: function(w, h) {
    var c = ZV.canvas;
    if (!c) return;
    if (c.width !== w || c.height !== h) {
      c.width = w;
      c.height = h;
      ZV.image = null;
    }
    ZV.layout();
  },

  present: function(ptr, w, h) {
    if (!ZV.ctx) return;
    if (!ZV.image || ZV.image.width !== w || ZV.image.height !== h) {
      ZV.image = ZV.ctx.createImageData(w, h);
    }
    ZV.image.data.set(HEAPU8.subarray(ptr, ptr + w * h * 4));
    ZV.ctx.putImageData(ZV.image, 0, 0);
    if (Module.onFrame) Module.onFrame();
  },

  setFullScreen: function(on) {
    try {
      if (on && !document.fullscreenElement) {
        var p = (ZV.canvas.parentElement || document.documentElement).requestFullscreen();
        if (p && p.catch) p.catch(function() {});
      } else if (!on && document.fullscreenElement) {
        document.exitFullscreen();
      }
      return 1;
    } catch (e) {
      return 0;
    }
  },

  setCursor: function(ptr, w, h, hx, hy) {
    if (!ZV.canvas) return;
    try {
      var c = document.createElement('canvas');
      c.width = w; c.height = h;
      var g = c.getContext('2d');
      var img = g.createImageData(w, h);
      img.data.set(HEAPU8.subarray(ptr, ptr + w * h * 4));
      g.putImageData(img, 0, 0);
      var url = c.toDataURL();
      ZV.cursorImage = {url: url, hx: hx, hy: hy, css: 'url(' + url + ') ' + hx + ' ' + hy + ', default'};
      if (!ZV.padCursor || ZV.padCursor.style.display !== 'block') ZV.canvas.style.cursor = ZV.cursorImage.css;
    } catch (e) {
    }
  },

  // The pointer cannot be moved by a page, so the cursor a game controller
  // moves is drawn over the canvas until the mouse moves again.
  showPadCursor: function(x, y) {
    if (!ZV.canvas || !ZV.cursorImage) return;
    var img = ZV.padCursor;
    if (!img) {
      img = ZV.padCursor = document.createElement('img');
      img.id = 'pad-cursor';
      img.style.position = 'fixed';
      img.style.pointerEvents = 'none';
      img.style.zIndex = 10;
      document.body.appendChild(img);
    }
    if (img.src !== ZV.cursorImage.url) img.src = ZV.cursorImage.url;
    var r = ZV.canvas.getBoundingClientRect();
    img.style.left = (r.left + (x + 0.5) * r.width / ZV.canvas.width - ZV.cursorImage.hx) + 'px';
    img.style.top = (r.top + (y + 0.5) * r.height / ZV.canvas.height - ZV.cursorImage.hy) + 'px';
    img.style.display = 'block';
    ZV.canvas.style.cursor = 'none';  // one cursor on the screen, not two
  },
  hidePadCursor: function() {
    if (!ZV.padCursor || ZV.padCursor.style.display === 'none') return;
    ZV.padCursor.style.display = 'none';
    if (ZV.cursorImage) ZV.canvas.style.cursor = ZV.cursorImage.css;
  },

  setIcon: function(ptr, w, h) {
    try {
      var c = document.createElement('canvas');
      c.width = w; c.height = h;
      var g = c.getContext('2d');
      var img = g.createImageData(w, h);
      img.data.set(HEAPU8.subarray(ptr, ptr + w * h * 4));
      g.putImageData(img, 0, 0);
      var link = document.querySelector('link[rel="icon"]') || document.createElement('link');
      link.rel = 'icon';
      link.href = c.toDataURL();
      document.head.appendChild(link);
    } catch (e) {
    }
  },

  // Draws code point cp white on black with its cell's top-left at (0, 0),
  // the em box px high, and copies the red channel into out (boxW x px
  // bytes). Returns the advance: px for a full-width character, px / 2 for a
  // half-width one (the font is monospaced).
  glyph: function(cp, px, out, boxW) {
    if (!ZV.glyphCanvas) {
      ZV.glyphCanvas = typeof OffscreenCanvas !== 'undefined' ? new OffscreenCanvas(8, 8) :
                                                                document.createElement('canvas');
    }
    var c = ZV.glyphCanvas;
    if (c.width < boxW || c.height < px) {
      c.width = Math.max(c.width, boxW);
      c.height = Math.max(c.height, px);
      ZV.glyphCtx = null;
    }
    if (!ZV.glyphCtx) ZV.glyphCtx = c.getContext('2d', {willReadFrequently: true});
    var g = ZV.glyphCtx;
    g.fillStyle = '#000';
    g.fillRect(0, 0, boxW, px);
    g.font = px + 'px ' + ZV.fontFamily;
    g.textBaseline = 'alphabetic';
    g.fillStyle = '#fff';
    var s = String.fromCodePoint(cp);
    var m = g.measureText(s);
    var asc = m.fontBoundingBoxAscent, desc = m.fontBoundingBoxDescent;
    // The baseline sits at the font's ascender within the em box.
    var base = asc > 0 && desc >= 0 ? Math.round(px * asc / (asc + desc)) : Math.round(px * 0.88);
    g.fillText(s, 0, base);
    var data = g.getImageData(0, 0, boxW, px).data;
    for (var i = 0, n = boxW * px; i < n; ++i) HEAPU8[out + i] = data[i * 4];
    var wide = m.width > px * 0.75;
    return wide ? px : (px >> 1);
  },

  sjisDecoder: null,
  sjisTable: null,
  sjisToUtf8: function(ptr, len, out, outSize) {
    try {
      if (!ZV.sjisDecoder) ZV.sjisDecoder = new TextDecoder('shift_jis', {fatal: true});
      var s = ZV.sjisDecoder.decode(HEAPU8.slice(ptr, ptr + len));
      var need = lengthBytesUTF8(s) + 1;
      if (need > outSize) return 0;
      stringToUTF8(s, out, outSize);
      return 1;
    } catch (e) {
      return 0;
    }
  },
  // The code page's reverse table, made once from the browser's decoder.
  utf8ToSjis: function(ptr, out, outSize) {
    if (!ZV.sjisTable) {
      var d = new TextDecoder('shift_jis');
      var t = new Map();
      for (var b = 0x20; b < 0x80; ++b) t.set(String.fromCharCode(b), [b]);
      for (var k = 0xA1; k <= 0xDF; ++k) {
        var hk = d.decode(new Uint8Array([k]));
        if (!t.has(hk)) t.set(hk, [k]);
      }
      var leads = [];
      for (var l = 0x81; l <= 0x9F; ++l) leads.push(l);
      for (var l2 = 0xE0; l2 <= 0xFC; ++l2) leads.push(l2);
      leads.forEach(function(lead) {
        for (var tr = 0x40; tr <= 0xFC; ++tr) {
          if (tr === 0x7F) continue;
          var ch = d.decode(new Uint8Array([lead, tr]));
          if (ch.length === 1 && ch !== '\ufffd' && !t.has(ch)) t.set(ch, [lead, tr]);
        }
      });
      t.set('\n', [10]); t.set('\r', [13]); t.set('\t', [9]);
      ZV.sjisTable = t;
    }
    var s = UTF8ToString(ptr);
    var bytes = [];
    for (var ch2 of s) {
      var code = ZV.sjisTable.get(ch2);
      if (!code) return 0;
      bytes.push.apply(bytes, code);
    }
    if (bytes.length + 1 > outSize) return 0;
    for (var i = 0; i < bytes.length; ++i) HEAPU8[out + i] = bytes[i];
    HEAPU8[out + bytes.length] = 0;
    return 1;
  },

  // Sound: the program mixes on its own clock and hands over blocks of
  // 16-bit stereo; they are played back to back, a little ahead of the
  // output. Until the first click the blocks are dropped.
  audio: null,
  audioEnd: 0,
  audioFrames: 0,
  audioOpen: function() {
    if (ZV.audio) return 1;
    var AC = window.AudioContext || window.webkitAudioContext;
    if (!AC) return 0;
    try {
      ZV.audio = new AC({sampleRate: 44100, latencyHint: 'interactive'});
    } catch (e) {
      try { ZV.audio = new AC(); } catch (e2) { return 0; }
    }
    return 1;
  },
  audioResume: function() {
    if (ZV.audio && ZV.audio.state !== 'running') {
      var p = ZV.audio.resume();
      if (p && p.catch) p.catch(function() {});
    }
  },
  audioRunning: function() { return ZV.audio && ZV.audio.state === 'running' ? 1 : 0; },
  audioPlay: function(ptr, frames) {
    var a = ZV.audio;
    if (!a || a.state !== 'running' || frames <= 0) return;
    var buf = a.createBuffer(2, frames, 44100);
    var l = buf.getChannelData(0), r = buf.getChannelData(1);
    var base = ptr >> 1;
    for (var i = 0; i < frames; ++i) {
      l[i] = HEAP16[base + 2 * i] / 32768;
      r[i] = HEAP16[base + 2 * i + 1] / 32768;
    }
    var src = a.createBufferSource();
    src.buffer = buf;
    src.connect(a.destination);
    var now = a.currentTime;
    // Fallen behind (a stalled tab): start again just ahead of the output.
    if (ZV.audioEnd < now + 0.01) ZV.audioEnd = now + 0.03;
    src.start(ZV.audioEnd);
    ZV.audioEnd += frames / 44100;
    ZV.audioFrames += frames;
  },
  // Seconds of sound queued beyond the output's position.
  audioAhead: function() {
    var a = ZV.audio;
    if (!a || a.state !== 'running') return 0;
    return Math.max(0, ZV.audioEnd - a.currentTime);
  },
  audioClose: function() {
    if (ZV.audio) {
      try { ZV.audio.close(); } catch (e) {}
    }
    ZV.audio = null;
    ZV.audioEnd = 0;
  },

  // The player's files live in IndexedDB, mounted at /save; a change is
  // written back within a second, each write one transaction.
  storageReady: false,
  storageBusy: false,
  storageAgain: false,
  mountStorage: function(done) {
    try {
      FS.mkdir('/save');
      FS.mount(IDBFS, {}, '/save');
      FS.syncfs(true, function(err) {
        ZV.storageReady = !err;
        done(err ? 0 : 1);
      });
    } catch (e) {
      done(0);
    }
  },
  syncStorage: function() {
    if (!ZV.storageReady) return;
    if (ZV.storageBusy) {
      ZV.storageAgain = true;
      return;
    }
    ZV.storageBusy = true;
    FS.syncfs(false, function() {
      ZV.storageBusy = false;
      if (Module.onStorageSynced) Module.onStorageSynced();
      if (ZV.storageAgain) {
        ZV.storageAgain = false;
        ZV.syncStorage();
      }
    });
  }
};
Module.ZV = ZV;
