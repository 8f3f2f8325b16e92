#include "app/manual_keys.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <set>
#include <typeinfo>
#include <vector>

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

// An action's note, within its group.
struct Words {
  const char* action;
  // Null: the editor's description says it.
  const char* en;
  const char* ja;
};

struct NoteGroup {
  const char* group;
  std::vector<Words> words;
};

// The moves of the text cursor, alike in both text editors.
constexpr Words TEXT_CURSOR_MOVES[] = {
  {"cursor-up", nullptr, "テキストカーソルを上の行へ"},
  {"cursor-down", nullptr, "テキストカーソルを下の行へ"},
  {"cursor-left", nullptr, "テキストカーソルを左へ"},
  {"cursor-right", nullptr, "テキストカーソルを右へ"},
};

// The text cursor's moves, then words.
std::vector<Words> after_cursor_moves(std::initializer_list<Words> words)
{
  std::vector<Words> all(std::begin(TEXT_CURSOR_MOVES), std::end(TEXT_CURSOR_MOVES));
  all.insert(all.end(), words.begin(), words.end());
  return all;
}

// The manual's words on every action of the groups, in the groups' order.
const std::vector<ManualNote>& notes()
{
  static const std::vector<NoteGroup> groups = {
    {"CELL MODE",
     {
       {"copy", nullptr, "カーソルのセルの要素をコピーします"},
       {"cut", nullptr, "カーソルのセルの要素を切り取ります（削除してコピー）"},
       {"paste", nullptr, "コピーした要素をカーソルの位置に貼り付けます。邪魔になる要素は置き換えられます"},
       {"insert-element", nullptr, "挿入: 軸とセルの中身に応じて、ライフライン・実行仕様・左向きのメッセージ・テキストなど"},
       {"append-element", nullptr, "追加: 軸とセルの中身に応じて、テキスト・実行仕様・右向きのメッセージなど"},
       {"insert-to-next-element", nullptr, "挿入と同じ。ただし垂直軸では、次の要素まで届くメッセージを左向きに挿入します"},
       {"append-to-next-element", nullptr, "追加と同じ。ただし垂直軸では、次の要素まで届くメッセージを右向きに挿入します"},
       {"change-to-selectmode", nullptr, "セル選択モードに入ります"},
       {"resize", nullptr, "複数のセルにまたがれる要素の大きさをレンジモードで変えます（シーケンス図にはそうした要素がなく、何も起きません）"},
       {"change", nullptr, "変更: メッセージ・実行仕様・ライフラインの長さ・フラグメントはレンジモードで、テキストはテキストモードで"},
       {"show-all", nullptr, "図全体を表示します（ビュー移動モード）"},
       {"append-text", nullptr, "空のセルに自由なテキストを置いて入力します"},
       {"insert-life-line", nullptr, "空のセルに新しいライフラインを挿入します"},
       {"insert-message", nullptr, "空のセルから新しいメッセージを始めます"},
     }},
    {"RANGE MODE",
     {
       {"settle-move", nullptr, "伸ばした結果を確定して、セルモードに戻ります"},
     }},
    {"SELECT MODE",
     {
       {"settle-select", nullptr, "選んだ候補に対して、削除・コピー・変更を行います"},
     }},
    {"SELECT CELL MODE",
     {
       {"copy", nullptr, "選択範囲の要素をコピーします"},
       {"cut", nullptr, "選択範囲の要素を切り取ります"},
       {"range-insert", nullptr, "選択範囲の大きさの空きセルを、選択範囲の位置に開きます"},
       {"range-append", nullptr, "選択範囲の大きさの空きセルを、選択範囲のすぐ後に開きます"},
       {"range-delete", nullptr, "選択範囲のセルを削除して、後ろを詰めます"},
       {"insert-fragment", nullptr, "選択範囲を囲む複合フラグメントを挿入します（3 × 3 セル以上）"},
     }},
    {"NORMAL MODE (TEXT)",
     {
       {"insert-text", "Type before the text cursor", "テキストカーソルの前から入力します"},
       {"append-text", "Type after the text cursor", "テキストカーソルの後ろから入力します"},
       {"insert-text-to-first", "Type at the start of the line", "行頭から入力します"},
       {"append-text-to-last", "Type at the end of the line", "行末から入力します"},
       {"change-to-visualmode", "Select characters (visual text mode)", "文字を選択します（ビジュアルテキストモード）"},
     }},
    {"VISUAL MODE (TEXT)",
     {
       {"change-text", "Cut the selected characters and type in their place",
        "選択した文字を切り取り、その位置から入力します"},
     }},
    {"MOVE VIEW MODE",
     {
       {"settle", nullptr, "枠の部分を表示して、元のモードに戻ります"},
     }},
    {"Common : 2D MODE",
     {
       {"scroll-up", nullptr, "1 セル分スクロールして戻ります"},
       {"scroll-down", nullptr, "1 セル分スクロールして進みます"},
       {"scroll-page-par-up", nullptr, "3 分の 1 ページ戻ります"},
       {"scroll-page-par-down", nullptr, "3 分の 1 ページ進みます"},
       {"scroll-page-up", nullptr, "1 ページ戻ります"},
       {"scroll-page-down", nullptr, "1 ページ進みます"},
       {"scroll-to-top", nullptr, "カーソルを先頭の行（垂直軸では先頭の列）へ移します"},
       {"scroll-to_bottom", nullptr, "カーソルを使われている最後の行（垂直軸では最後の列）へ移します"},
       {"append-line", nullptr, "水平軸ではカーソルの下に行を、垂直軸では右に列を挿入します"},
       {"insert-line", nullptr, "水平軸ではカーソルの上に行を、垂直軸では左に列を挿入します"},
       {"delete-line", nullptr, "水平軸ではカーソルの行を、垂直軸ではカーソルの列を削除します"},
       {"insert-col", nullptr, "カーソルの左に列を挿入します"},
       {"insert-row", nullptr, "カーソルの上に行を挿入します"},
       {"delete-col", nullptr, "カーソルの列を削除します"},
       {"delete-row", nullptr, "カーソルの行を削除します"},
       {"toggle-hv", nullptr, "挿入の軸（水平・垂直）を切り替えます"},
       {"to-virtical", nullptr, "挿入の軸を垂直にします"},
       {"to-horizontal", nullptr, "挿入の軸を水平にします"},
     }},
    {"Common : BASE MODE",
     {
       {"manual", nullptr, "このマニュアルを開きます"},
       {"activat-cmd-ctrl", nullptr, "コマンドラインを開きます"},
       {"undo", nullptr, "元に戻します"},
       {"redo", nullptr, "やり直します"},
       {"force-quit", nullptr, "確認せずにすぐ終了します。保存していない変更は失われます"},
       {"cancel", nullptr, "今のモードを抜けます。レンジモードでは伸ばした分を取り消します"},
       {"up", nullptr, "カーソルを上へ"},
       {"down", nullptr, "カーソルを下へ"},
       {"left", nullptr, "カーソルを左へ"},
       {"right", nullptr, "カーソルを右へ"},
       {"next-element", nullptr, "次のライフラインの頭へ移ります"},
       {"prev-element", nullptr, "前のライフラインの頭へ移ります"},
       {"zoom-in", "Zoom in", "拡大します"},
       {"zoom-out", "Zoom out", "縮小します"},
       {"zoom-reset", "Back to the normal size", "元の大きさに戻します"},
     }},
    {"Common : TEXT EDITOR NORMAL",
     after_cursor_moves({
       {"goto-start-of-line", "Move to the start of the line", "行頭へ"},
       {"goto-end-of-line", "Move to the end of the line", "行末へ"},
       {"goto-start", "Move to the start of the text", "テキストの先頭へ"},
       {"goto-end", "Move to the end of the text", "テキストの末尾へ"},
       {"forward", "Move to the next word", "次の単語へ"},
       {"backward", "Move to the previous word", "前の単語へ"},
       {"forward-to-end", "Move to the end of the word", "単語の終わりへ"},
       {"delete-word", "Cut to the end of the word", "単語の終わりまで切り取ります"},
       {"change-word", "Cut to the end of the word and type", "単語の終わりまで切り取って入力します"},
       {"paste-before", nullptr, "クリップボードのテキストをカーソルの前に貼り付けます"},
       {"paste", nullptr, "クリップボードのテキストをカーソルの後に貼り付けます"},
       {"copy", nullptr, "選択した文字をクリップボードにコピーします"},
       {"cut", nullptr, "選択した文字（選択がなければカーソルの文字）を切り取ります"},
       {"delete", nullptr, "カーソルの文字を削除します"},
       {"delete-text-line", nullptr, "行を削除します"},
       {"delete-until-end-of-line", "Delete to the end of the line", "行末まで削除します"},
       {"new-line-below", "Open a line below and type", "下に行を開いて入力します"},
       {"new-line-above", "Open a line above and type", "上に行を開いて入力します"},
     })},
    {"Common : TEXT EDITOR INSERT",
     after_cursor_moves({
       {"paste", nullptr, "クリップボードのテキストを貼り付けます"},
       {"copy", nullptr, "選択したテキストをコピーします"},
       {"cut", nullptr, "選択したテキストを切り取ります"},
       {"new-line", nullptr, "改行します"},
       {"back-space", nullptr, "カーソルの前の文字を削除します"},
       {"delete", nullptr, "カーソルの文字を削除します"},
     })},
  };
  static const std::vector<ManualNote> notes = [] {
    std::vector<ManualNote> all;
    for (const NoteGroup& g : groups)
      for (const Words& w : g.words)
        all.push_back({g.group, w.action, w.en, w.ja});
    return all;
  }();
  return notes;
}

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
  const auto& all = notes();
  const auto it = std::find_if(all.begin(), all.end(),
                               [&](const ManualNote& n) { return group == n.group && action == n.action; });
  return it == all.end() ? nullptr : &*it;
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

const std::vector<ManualNote>& manual_notes() { return notes(); }

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
