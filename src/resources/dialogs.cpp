// Dialog resources 104, 105 and 106.
#include "resources/resources.h"

const PltDialog g_dialogHighColor = {
    RES_DLG_HIGHCOLOR,
    "警告",
    "画面モードがHighColorモード(16BIT)です。\nこのゲームは、TrueColorモード(24,32BIT)での\n"
    "動作を推奨しています。",
    PLT_DLG_ICON_WARNING,
    RES_CTL_NO_MORE,
    "以後このメッセージを表示しない",
    0,
    {},
};

const PltDialog g_dialogAbout = {
    RES_DLG_ABOUT, "バージョン情報", "Zentrova\nバージョン 1.00", PLT_DLG_ICON_PROGRAM, 0, nullptr, 0, {},
};

const PltDialog g_dialog256 = {
    RES_DLG_256,
    "画面モードエラー",
    "このゲームは256色(8BIT)モードでは、\n快適な動作は保証しません。\n"
    "HighColor(16BIT)モード以上に変更して下さい。",
    PLT_DLG_ICON_WARNING,
    0,
    nullptr,
    0,
    {},
};

const PltDialog g_dialogVolume = {
    RES_DLG_VOLUME, "音量", "音楽と効果音の大きさ", PLT_DLG_ICON_NONE, 0, nullptr, 2, {"音楽", "効果音"},
};
