// The command registration as the host sees it: the calls, their arguments and order, the bitmaps
// only on a first connection, the stop at a refused call and the popup menu's lifetime, against a
// golden transcript.
#include "core/addin/command_registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/automation/strings.h"
#include "tests/core/test_support.h"

namespace {

using core::automation::Format;

// The host: every call, the popup menu's creation and destruction too, is one line. It refuses
// the call named `refused` ("CreatePopupMenu": it makes no menu).
class FakeCommandHost : public core::addin::CommandHost {
 public:
  explicit FakeCommandHost(std::string refused) : refused_(std::move(refused)) {}
  std::vector<std::string> calls;

  struct Menu : core::addin::PopupMenu {
    explicit Menu(FakeCommandHost& host) : host(host) { host.calls.push_back("CreatePopupMenu"); }
    ~Menu() override { host.calls.push_back("DestroyMenu"); }
    FakeCommandHost& host;
  };

  std::string ResourceString(uint32_t id) override { return Format("s%u", id); }
  std::unique_ptr<core::addin::PopupMenu> CreatePopupMenu() override {
    return refused_ == "CreatePopupMenu" ? nullptr : std::make_unique<Menu>(*this);
  }
  bool AddCommandImages(uint32_t large_bitmap, uint32_t small_bitmap, int32_t* image_index,
                        int32_t flags, int32_t cookie) override {
    if (refused_ != "AddCommandImages") *image_index = 40;
    return Answer("AddCommandImages", Format("%u, %u, image %d, %d, %d", large_bitmap, small_bitmap,
                                             *image_index, flags, cookie));
  }
  bool AddCommand(const std::string& name, int32_t command, int32_t flags,
                  int32_t cookie) override {
    return Answer("AddCommand", Format("%s, %d, %d, %d", name.c_str(), command, flags, cookie));
  }
  bool AddPopupMenu(const std::string& name, int32_t position, int32_t flags,
                    const core::addin::PopupMenu& popup, const std::string& caption,
                    int32_t cookie) override {
    EXPECT_NE(dynamic_cast<const Menu*>(&popup), nullptr);
    return Answer("AddPopupMenu", Format("%s, %d, %d, %s, %d", name.c_str(), position, flags,
                                         caption.c_str(), cookie));
  }
  bool AddMenuItem(const std::string& name, int32_t position, int32_t flags, int32_t command,
                   int32_t enabled, int32_t cookie) override {
    return Answer("AddMenuItem", Format("%s, %d, %d, %d, %d, %d", name.c_str(), position, flags,
                                        command, enabled, cookie));
  }
  bool AddToolbarButton(const std::string& name, int32_t* image_index, int32_t flags,
                        int32_t cookie) override {
    return Answer("AddToolbarButton",
                  Format("%s, image %d, %d, %d", name.c_str(), *image_index, flags, cookie));
  }

 private:
  bool Answer(const std::string& method, const std::string& args) {
    calls.push_back(method + "(" + args + ")" + (method == refused_ ? " refused" : ""));
    return method != refused_;
  }
  std::string refused_;
};

TEST(CommandRegistration, CallsAsTheTranscriptSays) {
  // Resource identifiers as the add-in's library numbers them.
  constexpr core::addin::CommandResources kResources = {14311, 14328, 14347, 14348, 14313, 14312};
  std::string transcript;
  for (const char* refused : {"", "AddCommandImages", "AddCommand", "CreatePopupMenu",
                              "AddPopupMenu", "AddMenuItem", "AddToolbarButton"}) {
    FakeCommandHost host(refused);
    int32_t image = -1;
    const std::string result = core::addin::RegisterCommand(host, kResources, true, 5, &image);
    transcript += Format("refused \"%s\": \"%s\", image %d\n  ", refused, result.c_str(), image) +
                  test_support::Joined(host.calls, "\n  ") + "\n";
  }
  // A later connection registers no bitmaps and names the image it was given before.
  FakeCommandHost later("");
  int32_t image = 40;
  core::addin::RegisterCommand(later, kResources, false, 5, &image);
  transcript += "later\n  " + test_support::Joined(later.calls, "\n  ") + "\n";
  test_support::ExpectGolden("core/addin/golden/command_registration.txt", transcript);
}

}  // namespace
