// The main menu's items: names, captions (as stored, "&" marks the access key), separators and
// the check marks at start. The window builds its menu bar from this table.
#pragma once

#include <array>

namespace teku {

struct MenuItemSpec {
  const char* name;     // MN_...
  const char* caption;  // UTF-8
  bool separator;
  bool checkable;
  bool checkedAtStart;
};

struct MenuSpec {
  const char* name;
  const char* caption;
  const MenuItemSpec* items;
  int count;
};

inline constexpr MenuItemSpec kFileItems[] = {
    {"MN_FILEOPEN", "開く(&O)", false, false, false},
    {"MN_FILESAVE", "上書き保存(&S)", false, false, false},
    {"MN_FILESAVEAS", "名前を付けて保存(&A)", false, false, false},
    {"MN_FILEDUMMY2", "------", true, false, false},
    {"MN_FILENEWOPEN", "初めから(&N)", false, false, false},
    {"MN_FILETANGO", "文字表のみロード", false, false, false},
    {"MN_FILEFINE", "終了確認(&C)", false, false, false},
    {"MN_FILEDUMMY1", "------", true, false, false},
    {"MN_FILEEND", "終了(&E)", false, false, false},
};
inline constexpr MenuItemSpec kModeItems[] = {
    {"MN_MODEGAME", "ｹﾞｰﾑ実行(&G)", false, true, true},
    {"MN_MODEANSER", "解答(&A)", false, true, false},
    {"MN_MODECREATE", "作成ﾓｰﾄﾞ(&C)", false, true, false},
    {"MN_MODEDUMMY1", "------", true, false, false},
    {"MN_MODENANKURO", "ナンクロ(&N)", false, true, true},
    {"MN_MODECROS", "クロスワード(&W)", false, true, false},
    {"MN_MODEDUMMY2", "------", true, false, false},
    {"MN_MODEHINT", "初期表示指定(&I)", false, true, false},
    {"MN_MODEDUMMY3", "------", true, false, false},
    {"MN_MODEONGAKU", "音響(&O)", false, true, false},
};
inline constexpr MenuItemSpec kViewItems[] = {
    {"MN_VIEWWRD", "文字選択欄(&W)", false, true, false},
    {"MN_VIEWKAITOU", "解答欄(&K)", false, true, false},
    {"MN_VIEWMONDAI", "問題設定値(&M)", false, true, false},
    {"MN_VIEWFONT", "文字ﾌｫﾝﾄ変更(&F)", false, false, false},
};
inline constexpr MenuItemSpec kHelpItems[] = {
    {"MN_HELPEX", "ﾍﾙﾌﾟ表示(&H)", false, false, false},
    {"MN_HELPVERSION", "ﾊﾞｰｼﾞｮﾝ情報(&V)", false, false, false},
};

inline constexpr std::array<MenuSpec, 4> kMainMenu = {{
    {"MN_FILE", "ﾌｧｲﾙ(&F)", kFileItems, static_cast<int>(std::size(kFileItems))},
    {"MN_MODE", "ﾓｰﾄﾞ(&M)", kModeItems, static_cast<int>(std::size(kModeItems))},
    {"MN_VIEW", "表示(&V)", kViewItems, static_cast<int>(std::size(kViewItems))},
    {"MN_HELP", "ﾍﾙﾌﾟ(&H)", kHelpItems, static_cast<int>(std::size(kHelpItems))},
}};

}  // namespace teku
