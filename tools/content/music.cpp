// Music: scores in content/music/*.txt, rendered by the synthesiser and
// encoded as Ogg Vorbis.
//
// Score format (one directive per line, '#' starts a comment):
//   title TEXT            stored as the Vorbis title
//   tempo BPM             quarter notes per minute; durations are sixteenths
//   loop on|off           looped pieces wrap their tails round to the start
//   tail SECONDS          ring-out after the last bar of a piece played once
//   reverb WET ROOM       reverb level and room size, 0..1
//   track NAME INSTRUMENT [vol V] [pan P]
//   define NAME TOKENS... text substituted for $NAME inside pattern lines
//   pattern NAME ... end  lines "TRACK: TOKENS..." (lines of one track append)
//   song NAME NAME ...    the patterns in playing order (may repeat the line)
// Tokens: a note "c5", "f#4", "bb3" or a drum hit "x", with an optional
// duration "/N" in sixteenths (kept until changed); "r" a rest; chords join
// notes with '+'; "vN" sets the velocity (1..9); "|" is a bar line (ignored);
// "( ... )*N" repeats a group.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "synth.h"

namespace {
struct Track {
  Instrument inst = INST_BELL;
  double vol = 0.5, pan = 0;
};

struct Event {
  std::string track;
  double start;  // sixteenths from the start of the song
  double dur;
  std::vector<int> notes;  // MIDI numbers; drums use -1
  double vel;
};

struct Score {
  std::string title;
  double tempo = 100;
  bool loop = false;
  double tail = 2;
  double wet = 0.3, room = 0.6;
  std::map<std::string, Track> tracks;
  std::vector<std::string> trackOrder;
  std::map<std::string, std::string> defines;
  std::map<std::string, std::map<std::string, std::string>> patterns;  // pattern -> track -> tokens
  std::vector<std::string> song;
  std::string error;
};

bool ParseInstrument(const std::string& s, Instrument& out) {
  static const std::map<std::string, Instrument> names = {
      {"bell", INST_BELL},       {"pluck", INST_PLUCK},   {"pad", INST_PAD},
      {"bass", INST_BASS},       {"flute", INST_FLUTE},   {"marimba", INST_MARIMBA},
      {"kick", INST_KICK},       {"snare", INST_SNARE},   {"hat", INST_HAT},
      {"openhat", INST_OPENHAT}, {"shaker", INST_SHAKER}, {"tom", INST_TOM}};
  auto it = names.find(s);
  if (it == names.end()) return false;
  out = it->second;
  return true;
}

int ParseNote(const std::string& s) {
  static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  if (s.empty() || s[0] < 'a' || s[0] > 'g') return -2;
  int n = base[s[0] - 'a'];
  size_t i = 1;
  while (i < s.size() && (s[i] == '#' || s[i] == 'b')) n += s[i++] == '#' ? 1 : -1;
  if (i >= s.size()) return -2;
  char* end = nullptr;
  long oct = strtol(s.c_str() + i, &end, 10);
  if (*end != 0 || oct < 0 || oct > 8) return -2;
  return static_cast<int>(12 * (oct + 1) + n);
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// Expands "( ... )*N" groups and $defines into a flat token list.
bool Expand(const Score& sc, const std::vector<std::string>& in, std::vector<std::string>& out,
            std::string& err, int depth = 0) {
  if (depth > 8) {
    err = "defines nest too deeply";
    return false;
  }
  for (size_t i = 0; i < in.size(); i++) {
    const std::string& t = in[i];
    if (t[0] == '$') {
      auto it = sc.defines.find(t.substr(1));
      if (it == sc.defines.end()) {
        err = "unknown define " + t;
        return false;
      }
      if (!Expand(sc, Split(it->second), out, err, depth + 1)) return false;
    } else if (t == "(") {
      int level = 1;
      size_t j = i + 1;
      for (; j < in.size(); j++) {
        if (in[j] == "(") level++;
        if (in[j].rfind(")", 0) == 0 && --level == 0) break;
      }
      if (j >= in.size() || in[j].size() < 3 || in[j][1] != '*') {
        err = "unclosed group or missing )*N";
        return false;
      }
      int times = atoi(in[j].c_str() + 2);
      std::vector<std::string> inner(in.begin() + static_cast<long>(i) + 1,
                                     in.begin() + static_cast<long>(j)),
          flat;
      if (!Expand(sc, inner, flat, err, depth + 1)) return false;
      for (int k = 0; k < times; k++) out.insert(out.end(), flat.begin(), flat.end());
      i = j;
    } else if (t != "|") {
      out.push_back(t);
    }
  }
  return true;
}

bool Parse(const std::string& text, Score& sc) {
  std::istringstream in(text);
  std::string line, pattern;
  int lineNo = 0;
  auto fail = [&](const std::string& msg) {
    sc.error = "line " + std::to_string(lineNo) + ": " + msg;
    return false;
  };
  while (std::getline(in, line)) {
    lineNo++;
    size_t hash = line.find('#');
    // '#' is also a sharp inside note names; a comment starts at " #" or line start.
    if (hash != std::string::npos && (hash == 0 || line[hash - 1] == ' ' || line[hash - 1] == '\t'))
      line = line.substr(0, hash);
    auto w = Split(line);
    if (w.empty()) continue;
    if (!pattern.empty()) {
      if (w[0] == "end") {
        pattern.clear();
        continue;
      }
      std::string tr = w[0];
      if (tr.back() != ':') return fail("expected TRACK: in pattern " + pattern);
      tr.pop_back();
      if (!sc.tracks.count(tr)) return fail("unknown track " + tr);
      std::string& dst = sc.patterns[pattern][tr];
      size_t colon = line.find(':');
      dst += " " + line.substr(colon + 1);
      continue;
    }
    if (w[0] == "title") {
      sc.title = line.substr(line.find("title") + 6);
    } else if (w[0] == "tempo" && w.size() == 2) {
      sc.tempo = atof(w[1].c_str());
      if (sc.tempo < 20 || sc.tempo > 400) return fail("tempo out of range");
    } else if (w[0] == "loop" && w.size() == 2) {
      sc.loop = w[1] == "on";
    } else if (w[0] == "tail" && w.size() == 2) {
      sc.tail = std::clamp(atof(w[1].c_str()), 0.0, 20.0);
    } else if (w[0] == "reverb" && w.size() == 3) {
      sc.wet = std::clamp(atof(w[1].c_str()), 0.0, 1.0);
      sc.room = std::clamp(atof(w[2].c_str()), 0.0, 1.0);
    } else if (w[0] == "track" && w.size() >= 3) {
      Track t;
      if (!ParseInstrument(w[2], t.inst)) return fail("unknown instrument " + w[2]);
      for (size_t i = 3; i + 1 < w.size(); i += 2) {
        if (w[i] == "vol")
          t.vol = atof(w[i + 1].c_str());
        else if (w[i] == "pan")
          t.pan = std::clamp(atof(w[i + 1].c_str()), -1.0, 1.0);
        else
          return fail("unknown track option " + w[i]);
      }
      if (!sc.tracks.count(w[1])) sc.trackOrder.push_back(w[1]);
      sc.tracks[w[1]] = t;
    } else if (w[0] == "define" && w.size() >= 2) {
      size_t at = line.find(w[1], line.find("define") + 6) + w[1].size();
      sc.defines[w[1]] = line.substr(at);
    } else if (w[0] == "pattern" && w.size() == 2) {
      pattern = w[1];
      sc.patterns[pattern];
    } else if (w[0] == "song") {
      for (size_t i = 1; i < w.size(); i++) {
        if (!sc.patterns.count(w[i])) return fail("unknown pattern " + w[i]);
        sc.song.push_back(w[i]);
      }
    } else {
      return fail("unknown directive " + w[0]);
    }
  }
  if (!pattern.empty()) return fail("pattern " + pattern + " has no end");
  if (sc.song.empty()) return fail("no song line");
  return true;
}

// Turns the song into timed events; returns the length in sixteenths.
bool Sequence(Score& sc, std::vector<Event>& events, double& length) {
  double at = 0;
  for (const std::string& name : sc.song) {
    double patLen = 0;
    for (const auto& [tr, text] : sc.patterns[name]) {
      std::vector<std::string> toks;
      if (!Expand(sc, Split(text), toks, sc.error)) return false;
      double t = 0, dur = 4, vel = 0.7;
      for (const std::string& tok : toks) {
        std::string body = tok;
        size_t slash = tok.find('/');
        if (slash != std::string::npos) {
          dur = atof(tok.c_str() + slash + 1);
          if (dur <= 0 || dur > 256) {
            sc.error = "bad duration in " + tok;
            return false;
          }
          body = tok.substr(0, slash);
        }
        if (body.size() == 2 && body[0] == 'v' && isdigit(static_cast<unsigned char>(body[1]))) {
          vel = (body[1] - '0') / 9.0;
          continue;
        }
        if (body == "r") {
          t += dur;
          continue;
        }
        Event ev{tr, at + t, dur, {}, vel};
        std::stringstream parts(body);
        std::string p;
        while (std::getline(parts, p, '+')) {
          if (p == "x") {
            ev.notes.push_back(-1);
            continue;
          }
          int n = ParseNote(p);
          if (n < 0) {
            sc.error = "bad note " + p + " in pattern " + name;
            return false;
          }
          ev.notes.push_back(n);
        }
        events.push_back(ev);
        t += dur;
      }
      patLen = std::max(patLen, t);
    }
    at += patLen;
  }
  length = at;
  return true;
}

std::vector<float> Render(Score& sc, const std::vector<Event>& events, double length) {
  const double sixteenth = 60.0 / sc.tempo / 4;
  const double songSec = length * sixteenth;
  const int passes = sc.loop ? 2 : 1;
  const size_t total = static_cast<size_t>((songSec * passes + (sc.loop ? 0.0 : sc.tail)) * kRate);
  std::vector<float> mix(total * 2, 0.f);
  uint32_t seed = 1;
  for (const std::string& name : sc.trackOrder) {
    const Track& tr = sc.tracks[name];
    std::vector<float> mono(total, 0.f), note;
    size_t used = 0;  // how much of note the previous event dirtied
    for (const Event& ev : events) {
      if (ev.track != name) continue;
      // A gentle, repeatable humanisation of velocity.
      double vel = ev.vel * (0.92 + 0.08 * ((seed * 2654435761u >> 16) % 100) / 100.0);
      seed++;
      size_t len = 0;
      std::fill(note.begin(), note.begin() + static_cast<long>(used), 0.f);
      for (int n : ev.notes) {
        double f = n < 0 ? 110.0 : NoteFreq(n);
        len = std::max(len, RenderNote(note, 0, tr.inst, f, ev.dur * sixteenth * 0.92, vel, seed));
      }
      used = len;
      // Looped pieces play every note in both passes: render once, add twice.
      for (int pass = 0; pass < passes; pass++) {
        size_t start = static_cast<size_t>((ev.start * sixteenth + pass * songSec) * kRate);
        for (size_t i = 0; i < len && start + i < total; i++) mono[start + i] += note[i];
      }
    }
    double l = tr.vol * std::cos((tr.pan + 1) * M_PI / 4),
           r = tr.vol * std::sin((tr.pan + 1) * M_PI / 4);
    for (size_t i = 0; i < total; i++) {
      mix[2 * i] += static_cast<float>(mono[i] * l * M_SQRT2);
      mix[2 * i + 1] += static_cast<float>(mono[i] * r * M_SQRT2);
    }
  }
  Reverb(mix, sc.wet, sc.room);
  // DC blocker.
  for (int ch = 0; ch < 2; ch++) {
    double x1 = 0, y1 = 0;
    for (size_t i = 0; i < total; i++) {
      double x = mix[2 * i + ch];
      double y = x - x1 + 0.9995 * y1;
      x1 = x;
      y1 = y;
      mix[2 * i + ch] = static_cast<float>(y);
    }
  }
  std::vector<float> out;
  if (sc.loop) {
    // The second pass already carries the first pass's tails and reverb, so
    // it joins its own start seamlessly when played round.
    size_t from = static_cast<size_t>(songSec * kRate), n = static_cast<size_t>(songSec * kRate);
    out.assign(mix.begin() + static_cast<long>(2 * from),
               mix.begin() + static_cast<long>(2 * (from + n)));
  } else {
    out = std::move(mix);
    size_t fade = std::min(out.size() / 2, static_cast<size_t>(0.5 * kRate));
    size_t frames = out.size() / 2;
    for (size_t i = 0; i < fade; i++) {
      float g = static_cast<float>(static_cast<double>(fade - i) / fade);
      out[2 * (frames - fade + i)] *= g;
      out[2 * (frames - fade + i) + 1] *= g;
    }
  }
  // One loudness for every piece, lowered where the peak would pass the
  // ceiling; the encoder's overshoot is kept under it as well.
  double peak = 0, energy = 0;
  for (float v : out) {
    peak = std::max(peak, static_cast<double>(std::fabs(v)));
    energy += static_cast<double>(v) * v;
  }
  if (peak > 0) {
    const double rms = std::sqrt(energy / static_cast<double>(out.size()));
    const double gain = std::min(DbGain(kScoreRmsDb) / rms,
                                 DbGain(kScorePeakDb - kCodecMarginDb) / peak);
    for (float& v : out) v = static_cast<float>(v * gain);
  }
  return out;
}
}  // namespace

// bgm_001..004 belong to the title and the stages, 005..007 to the story
// scenes. Every score must be there: a missing one fails the build.
constexpr int kScores = 7;

void MakeMusic(Output& out) {
  for (int n = 1; n <= kScores; n++) {
    char name[32];
    snprintf(name, sizeof name, "bgm_%03d", n);
    std::string path = out.sourceDir + "/music/" + name + ".txt", text;
    if (!ReadText(path, text)) {
      fprintf(stderr, "zentrova-content: cannot read %s\n", path.c_str());
      out.failed = true;
      continue;
    }
    Score sc;
    std::vector<Event> events;
    double length = 0;
    if (!Parse(text, sc) || !Sequence(sc, events, length)) {
      fprintf(stderr, "zentrova-content: %s: %s\n", path.c_str(), sc.error.c_str());
      out.failed = true;
      continue;
    }
    auto pcm = Render(sc, events, length);
    out.files[std::string("bgm/") + name + ".ogg"] =
        EncodeOgg(pcm, 0x5A560000 + n, sc.title.c_str(), 0.4f);
    if (!out.previewDir.empty()) {
      std::filesystem::create_directories(out.previewDir);
      WriteFile(out.previewDir + "/" + name + ".wav", EncodeWav(pcm, 2, WAV_PCM16));
    }
  }
}
