// The stand-in's automation object: its IDE window, which scripts and tests open and drive as
// the runner's --gui does.
#include <windows.h>

#include <oleauto.h>

#include "standin/win/ide_frame.h"
#include "standin/win/message_loop.h"
#include "standin/win/standin_object.h"
#include "win/comkit/conversion.h"

namespace standin::win {
namespace {

using ::win::comkit::Guard;
using ::win::comkit::ToBstr;

LONG HandleNumber(HWND window) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)); }

}  // namespace

IdeFrame* Standin::Frame() const {
  return frame_ && frame_->hwnd() != nullptr ? frame_.get() : nullptr;
}

bool Standin::PreTranslate(MSG* message) const {
  IdeFrame* frame = Frame();
  return frame != nullptr && frame->PreTranslate(message);
}

STDMETHODIMP Standin::ShowWindow(LONG* window) noexcept {
  if (window == nullptr) return E_POINTER;
  *window = 0;
  return Guard([&] {
    if (IdeFrame* frame = Frame()) {
      HWND shown = frame->hwnd();
      if (IsIconic(shown)) ::ShowWindow(shown, SW_RESTORE);
      SetForegroundWindow(shown);
      *window = HandleNumber(shown);
      return S_OK;
    }
    frame_ = std::make_unique<IdeFrame>(this, session_, &application_->images());
    if (!frame_->Create()) {
      const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
      frame_.reset();
      return Fail(FAILED(hr) ? hr : E_FAIL, "the IDE window cannot be created");
    }
    *window = HandleNumber(frame_->hwnd());
    return S_OK;
  });
}

STDMETHODIMP Standin::get_MainWindow(LONG* window) noexcept {
  if (window == nullptr) return E_POINTER;
  IdeFrame* frame = Frame();
  *window = frame != nullptr ? HandleNumber(frame->hwnd()) : 0;
  return S_OK;
}

STDMETHODIMP Standin::CloseWindow(VARIANT_BOOL ask, VARIANT_BOOL* closed) noexcept {
  if (closed == nullptr) return E_POINTER;
  *closed = VARIANT_TRUE;
  return Guard([&] {
    IdeFrame* frame = Frame();
    if (frame != nullptr && !frame->Close(ask != VARIANT_FALSE)) *closed = VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP Standin::WaitIdle(LONG timeout, VARIANT_BOOL* idle) noexcept {
  if (idle == nullptr) return E_POINTER;
  if (timeout < 0) return Fail(E_INVALIDARG, "the timeout must not be negative");
  return Guard([&] {
    const bool got_idle = PumpUntilIdle(static_cast<DWORD>(timeout),
                                        [this](MSG* message) { return PreTranslate(message); });
    *idle = got_idle ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP Standin::RunWindow() noexcept {
  return Guard([&] {
    if (Frame() == nullptr) return Fail(E_UNEXPECTED, "the IDE window is not open");
    PumpUntil([this] { return Frame() == nullptr; },
              [this](MSG* message) { return PreTranslate(message); });
    return S_OK;
  });
}

STDMETHODIMP Standin::RunCommand(LONG command) noexcept {
  return Guard([&] {
    IdeFrame* frame = Frame();
    if (frame == nullptr) return Fail(E_UNEXPECTED, "the IDE window is not open");
    std::string problem;
    const HRESULT hr = frame->RunCommand(command, &problem);
    return FAILED(hr) ? Fail(hr, problem) : hr;
  });
}

STDMETHODIMP Standin::get_WindowList(BSTR* titles) noexcept {
  if (titles == nullptr) return E_POINTER;
  *titles = nullptr;
  return Guard([&] {
    IdeFrame* frame = Frame();
    return ToBstr(frame != nullptr ? frame->ChildTitles() : std::string(), titles);
  });
}

}  // namespace standin::win
