#include "app/manual_keys.h"

#include <algorithm>
#include <set>
#include <typeinfo>

#include <glibmm/markup.h>

#include "ctrl/action_wrapper.h"
#include "ctrl/context.h"
#include "ctrl/mode.h"

namespace velkaro {

namespace {

constexpr const char* BEGIN_MARK = "<!-- keys: ";
constexpr const char* BEGIN_END = " -->";
constexpr const char* END_MARK = "<!-- /keys -->";

ManualKeyGroup make_group(const std::string& name, CtrlIActionHandler& handler)
{
  ManualKeyGroup group{name, {}};
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

} // namespace

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
  }
  for (const auto& handler : shared)
    groups.push_back(make_group("Common : " + handler->get_name(), *handler));
  return groups;
}

std::string manual_key_table(const ManualKeyGroup& group, const std::string& language)
{
  const bool ja = language == "ja";
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
      html += (i ? " " : "") + std::string("<kbd>") + escape(row.keys[i]) + "</kbd>";
    if (row.keys.empty())
      html += ja ? "（なし）" : "(none)";
    html += "</td><td><code>" + escape(row.action) + "</code></td><td>" + escape(row.description) + "</td></tr>\n";
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
