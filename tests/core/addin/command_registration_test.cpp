// The command registration as the host sees it: the calls, their arguments and order, the
// bitmaps only on a first connection, the stop at a refused call and the popup menu's lifetime.
#include "core/addin/command_registration.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/automation/strings.h"

namespace {

using core::automation::Format;

// The host: every call, including the popup menu's creation and destruction, is one line.
class FakeCommandHost : public core::addin::CommandHost {
 public:
  std::vector<std::string> calls;
  std::set<std::string> refused;  // calls answered with failure; "CreatePopupMenu": no menu
  int32_t next_image = 40;

  class Menu : public core::addin::PopupMenu {
   public:
    explicit Menu(FakeCommandHost& host) : host_(host) { host_.calls.push_back("CreatePopupMenu"); }
    ~Menu() override { host_.calls.push_back("DestroyMenu"); }

   private:
    FakeCommandHost& host_;
  };

  std::string ResourceString(uint32_t id) override { return Format("s%u", id); }
  std::unique_ptr<core::addin::PopupMenu> CreatePopupMenu() override {
    if (refused.count("CreatePopupMenu")) return nullptr;
    return std::make_unique<Menu>(*this);
  }
  bool AddCommandImages(uint32_t large_bitmap, uint32_t small_bitmap, int32_t* image_index,
                        int32_t flags, int32_t cookie) override {
    if (!refused.count("AddCommandImages")) *image_index = next_image++;
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
    return Answer("AddPopupMenu", Format("%s, %d, %d, menu, %s, %d", name.c_str(), position, flags,
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
    const bool ok = !refused.count(method);
    calls.push_back(method + "(" + args + ")" + (ok ? "" : " refused"));
    return ok;
  }
};

// Resource identifiers as the add-in's library numbers them.
constexpr core::addin::CommandResources kResources = {14311, 14328, 14347, 14348, 14313, 14312};

const std::vector<std::string> kFirstConnection = {
    "AddCommandImages(14313, 14312, image 40, 1, 5)",
    "AddCommand(s14311, 54201, 1, 5)",
    "CreatePopupMenu",
    "AddPopupMenu(s14328, 0, 1024, menu, s14347, 5)",
    "DestroyMenu",
    "AddMenuItem(s14348, 0, 1024, 54201, 1, 5)",
    "AddToolbarButton(s14328, image 40, 1, 5)",
};

TEST(CommandRegistration, AFirstConnectionRegistersBitmapsCommandMenusAndButton) {
  FakeCommandHost host;
  int32_t image = -1;
  EXPECT_EQ(core::addin::RegisterCommand(host, kResources, true, 5, &image), "");
  EXPECT_EQ(host.calls, kFirstConnection);
  EXPECT_EQ(image, 40);
  // A later connection registers no bitmaps and names the image it was given before.
  FakeCommandHost later;
  EXPECT_EQ(core::addin::RegisterCommand(later, kResources, false, 5, &image), "");
  EXPECT_EQ(later.calls,
            std::vector<std::string>(kFirstConnection.begin() + 1, kFirstConnection.end()));
}

TEST(CommandRegistration, ARefusedCallEndsTheRegistrationAndTheMenuIsAlwaysDestroyed) {
  const struct {
    const char* refused;
    size_t made;        // lines of kFirstConnection made before the refused call
    const char* last;   // the refused call
    const char* after;  // what follows it, if anything
  } cases[] = {
      {"AddCommandImages", 0, "AddCommandImages(14313, 14312, image -1, 1, 5) refused", nullptr},
      {"AddCommand", 1, "AddCommand(s14311, 54201, 1, 5) refused", nullptr},
      {"CreatePopupMenu", 2, nullptr, nullptr},  // no menu could be made
      {"AddPopupMenu", 3, "AddPopupMenu(s14328, 0, 1024, menu, s14347, 5) refused", "DestroyMenu"},
      {"AddMenuItem", 5, "AddMenuItem(s14348, 0, 1024, 54201, 1, 5) refused", nullptr},
      {"AddToolbarButton", 6, "AddToolbarButton(s14328, image 40, 1, 5) refused", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refused);
    FakeCommandHost host;
    host.refused.insert(c.refused);
    int32_t image = -1;
    EXPECT_EQ(core::addin::RegisterCommand(host, kResources, true, 5, &image), c.refused);
    std::vector<std::string> expected(kFirstConnection.begin(), kFirstConnection.begin() + c.made);
    if (c.last) expected.push_back(c.last);
    if (c.after) expected.push_back(c.after);
    EXPECT_EQ(host.calls, expected);
  }
}

}  // namespace
