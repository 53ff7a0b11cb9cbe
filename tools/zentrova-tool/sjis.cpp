// Shift-JIS <-> UTF-8 through iconv (the code page with the vendor
// extensions, as the game's text uses them).
#include "zentrova-tool/sjis.h"

#include <errno.h>
#include <iconv.h>

namespace {

bool Convert(const char* to, const char* from, const std::string& in, std::string* out,
             bool replace) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->clear();
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  bool ok = true;
  while (left > 0) {
    char buf[256];
    char* dst = buf;
    size_t room = sizeof buf;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out->append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      if (!replace) {
        ok = false;
        break;
      }
      out->append("\xEF\xBF\xBD");
      ++src;
      --left;
    }
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

std::string SJIS_ToUtf8(const std::string& sjis) {
  std::string out;
  Convert("UTF-8", "CP932", sjis, &out, true);
  return out;
}

bool SJIS_FromUtf8(const std::string& utf8, std::string* sjis) {
  return Convert("CP932", "UTF-8", utf8, sjis, false);
}
