#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: small valid files of every
format a target reads (fuzz/corpus/<target>/). Uses sox and oggenc for the
compressed sound formats. Run from anywhere; existing seeds are replaced."""
import os
import shutil
import struct
import subprocess
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    d = os.path.join(ROOT, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


# Pictures: 8-bit bottom-up (padded rows), 8-bit top-down, 8-bit with an
# alpha plane, 24-bit.
def bmp(width, height, bits, reserved=0, top_down=False, colours=16):
    table = b"".join(bytes((i * 16 % 256, i * 8 % 256, 255 - i * 16 % 256, 0))
                     for i in range(colours)) if bits == 8 else b""
    offset = 54 + len(table)
    if bits == 8:
        packed = reserved != 0 or top_down
        stride = width if packed else (width + 3) & ~3
        rows = b"".join(bytes((x + y) % colours for x in range(width)).ljust(stride, b"\0")
                        for y in range(height))
        if reserved:
            rows += bytes((x * 37 + y * 11) % 256 for y in range(height) for x in range(width))
    else:
        stride = (3 * width + 3) & ~3
        rows = b"".join(b"".join(bytes((x * 20 % 256, y * 30 % 256, 99)) for x in range(width))
                        .ljust(stride, b"\0") for y in range(height))
    h = -height if top_down else height
    header = b"BM" + struct.pack("<IHHI", offset + len(rows), reserved, 0, offset)
    header += struct.pack("<IiiHHIIiiII", 40, width, h, 1, bits, 0, len(rows), 2835, 2835,
                          colours if bits == 8 else 0, 0)
    return header + table + rows


put("bmp", "b8_bottom_up.bmp", bmp(5, 3, 8))
put("bmp", "b8_top_down.bmp", bmp(6, 4, 8, top_down=True))
put("bmp", "b8_alpha.bmp", bmp(7, 3, 8, reserved=1))
put("bmp", "b8_alpha_top_down.bmp", bmp(4, 4, 8, reserved=1, top_down=True))
put("bmp", "b8_full_palette.bmp", bmp(3, 2, 8, colours=256))
put("bmp", "f24.bmp", bmp(5, 3, 24))
put("bmp", "f24_top_down.bmp", bmp(3, 5, 24, top_down=True))


# Sound: PCM written here, compressed formats by sox, Ogg Vorbis by oggenc.
def riff(fmt, data, extra_chunks=b""):
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + extra_chunks
    body += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm_fmt(rate, channels, bits):
    align = channels * bits // 8
    return struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)


tone16 = b"".join(struct.pack("<h", (i * 1500) % 30000 - 15000) for i in range(400))
put("wav", "pcm16_mono.wav", riff(pcm_fmt(8000, 1, 16), tone16))
put("wav", "pcm8_stereo.wav", riff(pcm_fmt(11025, 2, 8), bytes(i * 7 % 256 for i in range(300))))
put("wav", "pcm16_list_chunk.wav",
    riff(pcm_fmt(8000, 2, 16), tone16, b"LIST" + struct.pack("<I", 14) + b"INFOISFT\x02\0\0\0zv"))

tmp = tempfile.mkdtemp()
try:
    src = os.path.join(tmp, "src.wav")
    subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", "-b", "16", src, "synth", "0.15",
                    "sine", "440"], check=True)
    for enc, name in (("ima-adpcm", "ima_adpcm.wav"), ("ms-adpcm", "ms_adpcm.wav"),
                      ("u-law", "ulaw.wav"), ("a-law", "alaw.wav"), ("gsm-full-rate", "gsm.wav")):
        out = os.path.join(tmp, name)
        if subprocess.run(["sox", src, "-e", enc, out]).returncode == 0:
            with open(out, "rb") as f:
                put("wav", name, f.read())
    stereo = os.path.join(tmp, "stereo.wav")
    subprocess.run(["sox", "-n", "-r", "8000", "-c", "2", "-b", "16", stereo, "synth", "0.1",
                    "sine", "300", "sine", "500"], check=True)
    out = os.path.join(tmp, "ima_stereo.wav")
    subprocess.run(["sox", stereo, "-e", "ima-adpcm", out], check=True)
    with open(out, "rb") as f:
        put("wav", "ima_adpcm_stereo.wav", f.read())
    # Music streams need at least 4096 bytes; low rates keep them small.
    for rate, ch, secs, name in ((8000, 1, 3.0, "mono_8k.ogg"), (11025, 2, 1.5, "stereo_11k.ogg")):
        w = os.path.join(tmp, "o.wav")
        subprocess.run(["sox", "-n", "-r", str(rate), "-c", str(ch), "-b", "16", w, "synth",
                        str(secs), "sine", "440", "vol", "0.5"], check=True)
        o = os.path.join(tmp, name)
        subprocess.run(["oggenc", "-Q", "-q", "0", "-o", o, w], check=True)
        with open(o, "rb") as f:
            put("ogg", name, f.read())
finally:
    shutil.rmtree(tmp)

# Rankings: a whole table, a short file, one cut inside a value.
table = struct.pack("<10i", *range(90000, -10000, -10000)) + struct.pack("<10i", *range(10)) \
    + struct.pack("<10i", *range(10, 0, -1))
put("rank", "whole.sav", table)
put("rank", "short.sav", table[:40])
put("rank", "cut.sav", table[:47])

# Settings.
put("settings", "defaults.txt", b"# Zentrova settings\n[SoftWare\\TAVREN\\Zentrova]\n"
    b"[SoftWare\\TAVREN\\Zentrova\\config]\nbgm=dword:00000001\ncg=hex:" + b"00ff" * 8 +
    b"\nmsg_wait=dword:00000002\nscreen=dword:00000000\nse=dword:00000001\n"
    b"smooth=dword:00000000\nwait=dword:00000002\nwindow_scale=dword:00000002\n")
put("settings", "other_keys.txt", b"[a]\nx=hex:\r\n[SOFTWARE\\tavren\\zentrova\\CONFIG]\n"
    b"WAIT=dword:0000000a\nbad=dword:xyz\n=hex:00\n")

# Replay input scripts.
put("replay", "mouse.txt", b"# mouse\n0 move 320 240\n5 click left 100 200\n9 down right\n"
    b"10 up right\n12 click middle\n")
put("replay", "keys.txt", b"1 key enter down\n2 key enter up\n3 tap esc\n4 tap f12\n"
    b"5 tap pad7\n6 type fps\n7 key ctrl down\n")
put("replay", "window.txt", b"0 answer yes\n1 answer no\n2 answer ok\n3 command 40006\n"
    b"4 activate 0\n5 activate 1\n6 close\n")

# Render scenes.
put("render", "fill.txt", b"SPR_SetFill 0 4 0 1 1\nSPR_SetPosSize 0 10 10 100 80\n"
    b"SPR_SetColour 0 255 0 0\nSPR_SetBlend 0 0x10001\nRND_Frame 1\n")
put("render", "gradient.txt", b"SPR_SetFill 3 5 0 2 1\nSPR_SetGradient 3 0 0 255 0 0\n"
    b"SPR_SetGradient 3 1 1 0 0 255\nSPR_SetPosSize 3 0 0 640 480\nSPR_SetClip 3 20 20 200 200\n"
    b"SPR_SetTone 128 128 128\nSPR_SetBright 3 200\n")
put("render", "image.txt", b"IMG_LoadBMP 1 2 missing.bmp\nSPR_SetImage 5 1 3 1 -1\n"
    b"SPR_Move 5 -20 30\nSPR_SetSource 5 0 0 16 16\nSPR_SetZoom 5 0 0 128\n"
    b"SPR_Rotate 5 320 240 256 64 0 0 16 16\nSPR_SetQuad 5 0 0 100 0 100 100 0 100 0 0 16 0 16 16 "
    b"0 16\nSPR_SetView 5 1 2 3 4 5 6\nSPR_SetZoomRect 5 0 0 50 50\nSPR_SetSecond 5 1 128\n"
    b"SPR_Show 5 0\nSPR_Clear 5\nIMG_FreeSlot 1\n")

# Archives: one stored and one LZSS entry (literals, then a back reference).
def archive(entries):
    head = struct.pack("<II", 0x5041434B, len(entries))
    offset = 8 + 36 * len(entries)
    dir_, blob = b"", b""
    for packed, name, data in entries:
        dir_ += struct.pack("<I", packed) + name.ljust(24, b"\0") + \
            struct.pack("<II", offset + len(blob), len(data))
        blob += data
    return head + dir_ + blob


lzss = b"\xff" + b"abcdefgh" + b"\x01" + b"z" + bytes((0xEE, 0xF5))  # 8 literals, 1, a copy of 8
put("archive", "stored_and_packed.TVN",
    archive([(0, b"a", b"payload!"), (1, b"b.bmp", b"LZSS" + struct.pack("<I", 17) + lzss)]))
put("archive", "three.TVN", archive([(0, b"x", b"xx"), (0, b"a", b"A" * 20), (0, b"b.bmp",
                                                                            bmp(2, 2, 24))]))
