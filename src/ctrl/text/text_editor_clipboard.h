#pragma once
// The clipboard a text editor copies to and pastes from: plain text only.
//
// The default one is GTK's CLIPBOARD selection of the default display, shared
// with every other program; an editor may be given another (a test's own) in
// its place. Without a display the default clipboard holds nothing and
// forgets what it is given.

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velkaro {

class CtrlTextEditorClipboard {
public:
  virtual ~CtrlTextEditorClipboard() = default;

  // The clipboard's text, none when it holds no text. The GTK clipboard waits
  // for the owner's answer, running the main loop meanwhile: any handler may
  // run inside this call.
  virtual std::optional<std::string> wait_for_text() = 0;
  using TextReceiver = std::function<void(const std::optional<std::string>& text)>;
  // Asks for the clipboard's text and returns at once; receive gets it (none
  // when the clipboard holds no text) exactly once. The GTK clipboard
  // answers later, from the main loop, so nothing runs inside this call and
  // the caller finishes its work before any other handler does. Base:
  // answers at once with wait_for_text().
  virtual void request_text(const TextReceiver& receive);
  // Makes text the clipboard's content.
  virtual void set_text(const std::string& text) = 0;

  // The process's GTK CLIPBOARD selection.
  static std::shared_ptr<CtrlTextEditorClipboard> get_default();
};

} // namespace velkaro
