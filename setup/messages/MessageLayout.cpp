#include "messages/MessageLayout.h"

#include <algorithm>

namespace kestrel::setup {

namespace {

constexpr int kTextLeft = 34;
constexpr int kMargin = 8;
constexpr int kInitialWidth = 240;
constexpr int kButtonPitch = 58;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kRowStart = 22;

}  // namespace

MessageLayout layoutMessageBox(const MessageBoxRequest& box, const TextMeasure& measure,
                               DuSize iconSize) {
    MessageLayout layout;
    const DuSize text = measure(box.text, kInitialWidth);
    const int height = std::max(text.height, iconSize.height);
    layout.icon = {10, kMargin + (height - iconSize.height) / 2, iconSize.width, iconSize.height};
    layout.text = {kTextLeft, kMargin + std::max(0, iconSize.height - text.height) / 2, text.width,
                   text.height};

    const std::vector<MessageButton> visible = box.visibleButtons();
    const int count = static_cast<int>(visible.size());
    const int textWidth = kTextLeft + text.width + kMargin;
    const int rowWidth = kButtonPitch * count + 36;
    layout.client = {std::max(textWidth, rowWidth), height + 34};
    const int rowStart = kRowStart + (textWidth > rowWidth ? (textWidth - rowWidth) / 2 : 0);
    for (int i = 0; i < count; ++i) {
        layout.buttons.push_back(
            {visible[i], {rowStart + kButtonPitch * i, height + 16, kButtonWidth, kButtonHeight}});
    }
    layout.focus = box.focusButton();
    layout.closable = box.closable();
    return layout;
}

int horizontalPixels(int units, DialogBaseUnits base) {
    return units * base.x / 4;
}

int verticalPixels(int units, DialogBaseUnits base) {
    return units * base.y / 8;
}

PixelPoint placeMessageBox(int boxWidth, int boxHeight, int screenWidth, int screenHeight) {
    constexpr int kEdge = 8;
    int x = (((screenWidth - boxWidth) / 2 + 4) / 8) * 8;
    int y = (screenHeight - boxHeight) / 2;
    x = std::max(kEdge, std::min(x, screenWidth - boxWidth - kEdge));
    y = std::max(kEdge, std::min(y, screenHeight - boxHeight - kEdge));
    return {x, y};
}

}  // namespace kestrel::setup
