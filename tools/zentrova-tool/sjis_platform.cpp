// Shift-JIS <-> UTF-8 through the platform layer's conversion (the system's
// code page 932), for the builds without iconv (Windows).
#include <cstring>
#include <vector>

#include "platform/plt_glyph.h"
#include "zentrova-tool/sjis.h"

namespace {

bool IsLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

// Character by character, so that an undecodable byte costs only itself.
std::string SJIS_ToUtf8(const std::string& sjis) {
  std::string out;
  char in[3];
  char buf[16];
  for (size_t i = 0; i < sjis.size();) {
    const unsigned char c = static_cast<unsigned char>(sjis[i]);
    const size_t n = IsLead(c) && i + 1 < sjis.size() ? 2 : 1;
    std::memcpy(in, sjis.data() + i, n);
    in[n] = 0;
    if (c == 0) {
      out.push_back('\0');
    } else if (*PLT_SjisToUtf8(in, buf, sizeof buf)) {
      out.append(buf);
    } else {
      out.append("\xEF\xBF\xBD");
      i += 1;
      continue;
    }
    i += n;
  }
  return out;
}

bool SJIS_FromUtf8(const std::string& utf8, std::string* sjis) {
  sjis->clear();
  if (utf8.empty()) return true;
  if (utf8.find('\0') != std::string::npos) return false;
  // Shift-JIS never takes more bytes than UTF-8 for the same text.
  std::vector<char> buf(utf8.size() + 1);
  const char* r = PLT_Utf8ToSjis(utf8.c_str(), buf.data(), static_cast<int>(buf.size()));
  if (!*r) return false;
  sjis->assign(r);
  return true;
}
