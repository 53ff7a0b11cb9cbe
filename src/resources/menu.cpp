// Menu resource 101.
#include "common/cmd_ids.h"
#include "resources/resources.h"

namespace {
const PltMenuItem kItems[] = {
    {-1, "システム", 0},
    {CMD_FULLSCREEN, "フルスクリーンモード", 1},
    {CMD_WINDOW, "ウィンドウモード", 1},
    {0, "", 1},
    {CMD_NEXT_STAGE, "次のステージへ進む", 1},
    {0, "", 1},
    {CMD_QUIT, "終了", 1},
    {-1, "環境設定", 0},
    {-1, "メッセージ速度", 1},
    {CMD_MSG_SPEED0, "光速", 2},
    {CMD_MSG_SPEED0 + 1, "高速", 2},
    {CMD_MSG_SPEED0 + 2, "標準", 2},
    {CMD_MSG_SPEED0 + 3, "低速", 2},
    {-1, "システム速度", 1},
    {CMD_SYS_SPEED0, "光速", 2},
    {CMD_SYS_SPEED0 + 1, "高速", 2},
    {CMD_SYS_SPEED0 + 2, "標準", 2},
    {CMD_SYS_SPEED0 + 3, "低速", 2},
    {-1, "サウンド", 1},
    {CMD_SOUND_ON, "ON", 2},
    {CMD_SOUND_OFF, "OFF", 2},
    {CMD_VOLUME, "音量", 1},
    {CMD_MUTE_UNFOCUSED, "バックグラウンドでは消音", 1},
    {0, "", 1},
    {-1, "オートモード", 1},
    {CMD_AUTO0, "OFF", 2},
    {CMD_AUTO0 + 1, "低速", 2},
    {CMD_AUTO0 + 2, "標準", 2},
    {CMD_AUTO0 + 3, "高速", 2},
    {CMD_SKIP_READ_ONLY, "既読のみスキップ", 1},
    {CMD_WAIT_MARK, "クリック待ちマーク", 1},
    {CMD_TEXT_HOOK, "メッセージを書き出す", 1},
    {0, "", 1},
    {-1, "表示倍率", 1},
    {CMD_SCALE1, "1倍", 2},
    {CMD_SCALE1 + 1, "2倍", 2},
    {CMD_SCALE1 + 2, "3倍", 2},
    {CMD_SCALE1 + 3, "4倍", 2},
    {CMD_SMOOTH, "補間", 1},
    {-1, "ヘルプ", 0},
    {CMD_MANUAL, "マニュアル", 1},
    {CMD_HOMEPAGE, "ホームページ", 1},
    {0, "", 1},
    {CMD_ABOUT, "バージョン情報", 1},
};
}  // namespace

const PltMenu g_menuMain = {kItems, static_cast<int>(sizeof kItems / sizeof kItems[0])};
