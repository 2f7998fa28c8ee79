// The little that the core asks of a dialog, a text edit and a grid. The Qt windows implement
// these; tests implement them with plain objects.
#pragma once

#include <string>

#include "platform/ui/Prompter.h"

namespace zl::ui {

// A top-level dialog: its size, its position and its window handle (the owner of the message
// boxes it causes).
class Dialog {
  public:
    virtual ~Dialog() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Move(int left, int top) = 0;
    virtual WindowHandle Handle() const = 0;
    virtual void Close() = 0;
};

// A one-line text edit.
class TextEdit {
  public:
    virtual ~TextEdit() = default;
    virtual std::string Text() const = 0;
    virtual void SetFocus() = 0;
};

// The widest a list lays a text column out; the user may widen it by hand.
inline constexpr int kWidestTextColumn = 300;

// The columns of a data grid, which correspond by index to the columns of its dataset.
class GridColumns {
  public:
    virtual ~GridColumns() = default;
    virtual int Count() const = 0;
    virtual void SetVisible(int column, bool visible) = 0;
    virtual int Width(int column) const = 0;
    virtual void SetWidth(int column, int pixels) = 0;
    virtual void SetTitle(int column, const std::string& title) = 0;
};

// Left and top that centre a window of the given size on the screen (truncated toward zero).
inline int CentredLeft(int width) {
    return (CurrentScreen().Width() - width) / 2;
}
inline int CentredTop(int height) {
    return (CurrentScreen().Height() - height) / 2;
}

}  // namespace zl::ui
