#include "app/manual_keys.h"

#include <algorithm>
#include <set>
#include <typeinfo>

#include <glibmm/markup.h>

#include "common/text_join.h"
#include "ctrl/keys/action_wrapper.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

namespace {

constexpr const char* BEGIN_MARK = "<!-- keys: ";
constexpr const char* BEGIN_END = " -->";
constexpr const char* END_MARK = "<!-- /keys -->";

// The manual's words on every action of the groups, in the groups' order.
const std::vector<ManualNote> NOTES = {
  // CELL MODE
  {"CELL MODE", "copy", nullptr, "カーソルのセルの要素をコピーします"},
  {"CELL MODE", "cut", nullptr, "カーソルのセルの要素を切り取ります（削除してコピー）"},
  {"CELL MODE", "paste", nullptr, "コピーした要素をカーソルの位置に貼り付けます。邪魔になる要素は置き換えられます"},
  {"CELL MODE", "insert-element", nullptr, "挿入: 軸とセルの中身に応じて、ライフライン・実行仕様・左向きのメッセージ・テキストなど"},
  {"CELL MODE", "append-element", nullptr, "追加: 軸とセルの中身に応じて、テキスト・実行仕様・右向きのメッセージなど"},
  {"CELL MODE", "insert-to-next-element", nullptr, "挿入と同じ。ただし垂直軸では、次の要素まで届くメッセージを左向きに挿入します"},
  {"CELL MODE", "append-to-next-element", nullptr, "追加と同じ。ただし垂直軸では、次の要素まで届くメッセージを右向きに挿入します"},
  {"CELL MODE", "change-to-selectmode", nullptr, "セル選択モードに入ります"},
  {"CELL MODE", "resize", nullptr, "複数のセルにまたがれる要素の大きさをレンジモードで変えます（シーケンス図にはそうした要素がなく、何も起きません）"},
  {"CELL MODE", "change", nullptr, "変更: メッセージ・実行仕様・ライフラインの長さ・フラグメントはレンジモードで、テキストはテキストモードで"},
  {"CELL MODE", "show-all", nullptr, "図全体を表示します（ビュー移動モード）"},
  {"CELL MODE", "append-text", nullptr, "空のセルに自由なテキストを置いて入力します"},
  {"CELL MODE", "insert-life-line", nullptr, "空のセルに新しいライフラインを挿入します"},
  {"CELL MODE", "insert-message", nullptr, "空のセルから新しいメッセージを始めます"},
  // RANGE MODE
  {"RANGE MODE", "settle-move", nullptr, "伸ばした結果を確定して、セルモードに戻ります"},
  // SELECT MODE
  {"SELECT MODE", "settle-select", nullptr, "選んだ候補に対して、削除・コピー・変更を行います"},
  // SELECT CELL MODE
  {"SELECT CELL MODE", "copy", nullptr, "選択範囲の要素をコピーします"},
  {"SELECT CELL MODE", "cut", nullptr, "選択範囲の要素を切り取ります"},
  {"SELECT CELL MODE", "range-insert", nullptr, "選択範囲の大きさの空きセルを、選択範囲の位置に開きます"},
  {"SELECT CELL MODE", "range-append", nullptr, "選択範囲の大きさの空きセルを、選択範囲のすぐ後に開きます"},
  {"SELECT CELL MODE", "range-delete", nullptr, "選択範囲のセルを削除して、後ろを詰めます"},
  {"SELECT CELL MODE", "insert-fragment", nullptr, "選択範囲を囲む複合フラグメントを挿入します（3 × 3 セル以上）"},
  // NORMAL MODE (TEXT)
  {"NORMAL MODE (TEXT)", "insert-text", "Type before the text cursor", "テキストカーソルの前から入力します"},
  {"NORMAL MODE (TEXT)", "append-text", "Type after the text cursor", "テキストカーソルの後ろから入力します"},
  {"NORMAL MODE (TEXT)", "insert-text-to-first", "Type at the start of the line", "行頭から入力します"},
  {"NORMAL MODE (TEXT)", "append-text-to-last", "Type at the end of the line", "行末から入力します"},
  {"NORMAL MODE (TEXT)", "change-to-visualmode", "Select characters (visual text mode)", "文字を選択します（ビジュアルテキストモード）"},
  // VISUAL MODE (TEXT)
  {"VISUAL MODE (TEXT)", "change-text", "Cut the selected characters and type in their place",
   "選択した文字を切り取り、その位置から入力します"},
  // MOVE VIEW MODE
  {"MOVE VIEW MODE", "settle", nullptr, "枠の部分を表示して、元のモードに戻ります"},
  // Common : 2D MODE
  {"Common : 2D MODE", "scroll-up", nullptr, "1 セル分スクロールして戻ります"},
  {"Common : 2D MODE", "scroll-down", nullptr, "1 セル分スクロールして進みます"},
  {"Common : 2D MODE", "scroll-page-par-up", nullptr, "3 分の 1 ページ戻ります"},
  {"Common : 2D MODE", "scroll-page-par-down", nullptr, "3 分の 1 ページ進みます"},
  {"Common : 2D MODE", "scroll-page-up", nullptr, "1 ページ戻ります"},
  {"Common : 2D MODE", "scroll-page-down", nullptr, "1 ページ進みます"},
  {"Common : 2D MODE", "scroll-to-top", nullptr, "カーソルを先頭の行（垂直軸では先頭の列）へ移します"},
  {"Common : 2D MODE", "scroll-to_bottom", nullptr, "カーソルを使われている最後の行（垂直軸では最後の列）へ移します"},
  {"Common : 2D MODE", "append-line", nullptr, "水平軸ではカーソルの下に行を、垂直軸では右に列を挿入します"},
  {"Common : 2D MODE", "insert-line", nullptr, "水平軸ではカーソルの上に行を、垂直軸では左に列を挿入します"},
  {"Common : 2D MODE", "delete-line", nullptr, "水平軸ではカーソルの行を、垂直軸ではカーソルの列を削除します"},
  {"Common : 2D MODE", "insert-col", nullptr, "カーソルの左に列を挿入します"},
  {"Common : 2D MODE", "insert-row", nullptr, "カーソルの上に行を挿入します"},
  {"Common : 2D MODE", "delete-col", nullptr, "カーソルの列を削除します"},
  {"Common : 2D MODE", "delete-row", nullptr, "カーソルの行を削除します"},
  {"Common : 2D MODE", "toggle-hv", nullptr, "挿入の軸（水平・垂直）を切り替えます"},
  {"Common : 2D MODE", "to-virtical", nullptr, "挿入の軸を垂直にします"},
  {"Common : 2D MODE", "to-horizontal", nullptr, "挿入の軸を水平にします"},
  // Common : BASE MODE
  {"Common : BASE MODE", "manual", nullptr, "このマニュアルを開きます"},
  {"Common : BASE MODE", "activat-cmd-ctrl", nullptr, "コマンドラインを開きます"},
  {"Common : BASE MODE", "undo", nullptr, "元に戻します"},
  {"Common : BASE MODE", "redo", nullptr, "やり直します"},
  {"Common : BASE MODE", "force-quit", nullptr, "確認せずにすぐ終了します。保存していない変更は失われます"},
  {"Common : BASE MODE", "cancel", nullptr, "今のモードを抜けます。レンジモードでは伸ばした分を取り消します"},
  {"Common : BASE MODE", "up", nullptr, "カーソルを上へ"},
  {"Common : BASE MODE", "down", nullptr, "カーソルを下へ"},
  {"Common : BASE MODE", "left", nullptr, "カーソルを左へ"},
  {"Common : BASE MODE", "right", nullptr, "カーソルを右へ"},
  {"Common : BASE MODE", "next-element", nullptr, "次のライフラインの頭へ移ります"},
  {"Common : BASE MODE", "prev-element", nullptr, "前のライフラインの頭へ移ります"},
  {"Common : BASE MODE", "zoom-in", "Zoom in", "拡大します"},
  {"Common : BASE MODE", "zoom-out", "Zoom out", "縮小します"},
  {"Common : BASE MODE", "zoom-reset", "Back to the normal size", "元の大きさに戻します"},
  // Common : TEXT EDITOR NORMAL
  {"Common : TEXT EDITOR NORMAL", "cursor-up", nullptr, "テキストカーソルを上の行へ"},
  {"Common : TEXT EDITOR NORMAL", "cursor-down", nullptr, "テキストカーソルを下の行へ"},
  {"Common : TEXT EDITOR NORMAL", "cursor-left", nullptr, "テキストカーソルを左へ"},
  {"Common : TEXT EDITOR NORMAL", "cursor-right", nullptr, "テキストカーソルを右へ"},
  {"Common : TEXT EDITOR NORMAL", "goto-start-of-line", "Move to the start of the line", "行頭へ"},
  {"Common : TEXT EDITOR NORMAL", "goto-end-of-line", "Move to the end of the line", "行末へ"},
  {"Common : TEXT EDITOR NORMAL", "goto-start", "Move to the start of the text", "テキストの先頭へ"},
  {"Common : TEXT EDITOR NORMAL", "goto-end", "Move to the end of the text", "テキストの末尾へ"},
  {"Common : TEXT EDITOR NORMAL", "forward", "Move to the next word", "次の単語へ"},
  {"Common : TEXT EDITOR NORMAL", "backward", "Move to the previous word", "前の単語へ"},
  {"Common : TEXT EDITOR NORMAL", "forward-to-end", "Move to the end of the word", "単語の終わりへ"},
  {"Common : TEXT EDITOR NORMAL", "delete-word", "Cut to the end of the word", "単語の終わりまで切り取ります"},
  {"Common : TEXT EDITOR NORMAL", "change-word", "Cut to the end of the word and type", "単語の終わりまで切り取って入力します"},
  {"Common : TEXT EDITOR NORMAL", "paste-before", nullptr, "クリップボードのテキストをカーソルの前に貼り付けます"},
  {"Common : TEXT EDITOR NORMAL", "paste", nullptr, "クリップボードのテキストをカーソルの後に貼り付けます"},
  {"Common : TEXT EDITOR NORMAL", "copy", nullptr, "選択した文字をクリップボードにコピーします"},
  {"Common : TEXT EDITOR NORMAL", "cut", nullptr, "選択した文字（選択がなければカーソルの文字）を切り取ります"},
  {"Common : TEXT EDITOR NORMAL", "delete", nullptr, "カーソルの文字を削除します"},
  {"Common : TEXT EDITOR NORMAL", "delete-text-line", nullptr, "行を削除します"},
  {"Common : TEXT EDITOR NORMAL", "delete-until-end-of-line", "Delete to the end of the line", "行末まで削除します"},
  {"Common : TEXT EDITOR NORMAL", "new-line-below", "Open a line below and type", "下に行を開いて入力します"},
  {"Common : TEXT EDITOR NORMAL", "new-line-above", "Open a line above and type", "上に行を開いて入力します"},
  // Common : TEXT EDITOR INSERT
  {"Common : TEXT EDITOR INSERT", "cursor-up", nullptr, "テキストカーソルを上の行へ"},
  {"Common : TEXT EDITOR INSERT", "cursor-down", nullptr, "テキストカーソルを下の行へ"},
  {"Common : TEXT EDITOR INSERT", "cursor-left", nullptr, "テキストカーソルを左へ"},
  {"Common : TEXT EDITOR INSERT", "cursor-right", nullptr, "テキストカーソルを右へ"},
  {"Common : TEXT EDITOR INSERT", "paste", nullptr, "クリップボードのテキストを貼り付けます"},
  {"Common : TEXT EDITOR INSERT", "copy", nullptr, "選択したテキストをコピーします"},
  {"Common : TEXT EDITOR INSERT", "cut", nullptr, "選択したテキストを切り取ります"},
  {"Common : TEXT EDITOR INSERT", "new-line", nullptr, "改行します"},
  {"Common : TEXT EDITOR INSERT", "back-space", nullptr, "カーソルの前の文字を削除します"},
  {"Common : TEXT EDITOR INSERT", "delete", nullptr, "カーソルの文字を削除します"},
};

ManualKeyGroup make_group(const std::string& name, CtrlIActionHandler& handler)
{
  ManualKeyGroup group{name, {}, {}};
  for (const auto& action : handler.enum_actions()) {
    const auto& description = action->get_description();
    group.rows.push_back({action->get_name(), action->get_app_keys(), description ? *description : ""});
  }
  return group;
}

std::string escape(const std::string& text)
{
  return Glib::Markup::escape_text(text);
}

const ManualNote* note_of(const std::string& group, const std::string& action)
{
  const auto it = std::find_if(NOTES.begin(), NOTES.end(),
                               [&](const ManualNote& n) { return group == n.group && action == n.action; });
  return it == NOTES.end() ? nullptr : &*it;
}

// The description cell of row in group.
std::string description_of(const std::string& group, const ManualKeyRow& row, bool ja)
{
  const ManualNote* note = note_of(group, row.action);
  if (ja && note)
    return escape(note->ja) +
           (row.description.empty() ? "" : "<br><span lang=\"en\">" + escape(row.description) + "</span>");
  if (!row.description.empty())
    return escape(row.description);
  return note && note->en ? escape(note->en) : "";
}

// In place of an empty table: where the group's keys come from.
std::string keyless_sentence(const ManualKeyGroup& group, bool ja)
{
  std::string names;
  for (std::size_t i = 0; i < group.includes.size(); ++i) {
    if (i)
      names += i + 1 == group.includes.size() ? (ja ? "と" : " and ") : (ja ? "、" : ", ");
    names += (ja ? "「" : "“") + escape(group.includes[i]) + (ja ? "」" : "”");
  }
  if (ja)
    return "<p class=\"keys\">このモード自身のキーはありません。" + names + "のキーがそのまま使えます。</p>\n";
  return "<p class=\"keys\">No keys of its own: the keys of " + names + " apply.</p>\n";
}

} // namespace

const std::vector<ManualNote>& manual_notes() { return NOTES; }

std::vector<ManualKeyGroup> manual_key_groups(CtrlContext& ctx)
{
  std::vector<ManualKeyGroup> groups;
  std::vector<std::shared_ptr<CtrlIActionHandler>> shared;
  for (const auto& mode : ctx.get_mode_list()) {
    for (const auto& handler : mode->get_included_modes()) {
      const bool known = std::any_of(shared.begin(), shared.end(),
                                     [&handler](const auto& h) { return typeid(*h) == typeid(*handler); });
      if (handler && !known)
        shared.push_back(handler);
    }
    groups.push_back(make_group(mode->get_name(), *mode));
    for (const auto& handler : mode->get_included_modes())
      if (handler)
        groups.back().includes.push_back("Common : " + handler->get_name());
  }
  for (const auto& handler : shared)
    groups.push_back(make_group("Common : " + handler->get_name(), *handler));
  return groups;
}

std::string manual_key_table(const ManualKeyGroup& group, const std::string& language)
{
  const bool ja = language == "ja";
  if (group.rows.empty())
    return keyless_sentence(group, ja);
  std::string html = "<table class=\"keys\">\n<tr><th>";
  html += ja ? "キー" : "Keys";
  html += "</th><th>";
  html += ja ? "アクション" : "Action";
  html += "</th><th>";
  html += ja ? "説明" : "Description";
  html += "</th></tr>\n";
  for (const auto& row : group.rows) {
    html += "<tr><td>";
    for (std::size_t i = 0; i < row.keys.size(); ++i)
      html += text_join({i ? " " : "", "<kbd>", escape(row.keys[i]), "</kbd>"});
    if (row.keys.empty())
      html += ja ? "（なし）" : "(none)";
    html += "</td><td><code>" + escape(row.action) + "</code></td><td>" + description_of(group.name, row, ja) +
            "</td></tr>\n";
  }
  html += "</table>\n";
  return html;
}

std::string manual_fill_keys(const std::string& page, const std::vector<ManualKeyGroup>& groups,
                             const std::string& language, std::vector<std::string>& missing,
                             std::vector<std::string>& unknown)
{
  std::string out;
  std::set<std::string> marked;
  std::size_t pos = 0;
  while (true) {
    const std::size_t begin = page.find(BEGIN_MARK, pos);
    if (begin == std::string::npos)
      break;
    const std::size_t name_at = begin + std::char_traits<char>::length(BEGIN_MARK);
    const std::size_t name_end = page.find(BEGIN_END, name_at);
    const std::size_t end = name_end == std::string::npos ? std::string::npos : page.find(END_MARK, name_end);
    if (end == std::string::npos)
      break;
    const std::string name = page.substr(name_at, name_end - name_at);
    const std::size_t body = name_end + std::char_traits<char>::length(BEGIN_END);
    out += page.substr(pos, body - pos) + "\n";
    const auto group = std::find_if(groups.begin(), groups.end(), [&name](const auto& g) { return g.name == name; });
    if (group == groups.end())
      unknown.push_back(name);
    else
      out += manual_key_table(*group, language);
    marked.insert(name);
    pos = end;
  }
  out += page.substr(pos);
  for (const auto& group : groups) {
    if (!marked.count(group.name))
      missing.push_back(group.name);
  }
  return out;
}

} // namespace velkaro
