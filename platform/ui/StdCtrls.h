#pragma once

// The standard controls: label, panel, shape, list box, image, push button
// and the timer component.

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"

#include <QStringList>

#include <memory>

class QTimer;

// ---------------------------------------------------------------------------
// TLabel: one line of text in its rectangle.

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TLabel"); }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    // Opaque (the default) fills the rectangle with Color before the text.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // With AutoSize (the default) the label fits its size to the caption;
    // without it the label keeps its rectangle.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);

    void Paint() override;
    void Loaded() override;

protected:
    void TextChanged() override;
    void FontChanged() override;

private:
    void AdjustBounds();
    unsigned TextFlags() const;

    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool transparent_ = false;
    bool autoSize_ = true;
};

// ---------------------------------------------------------------------------
// TCustomPanel / TPanel: a container with a bevelled border.

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TCustomPanel"); }

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    // Width of each bevel ring in pixels.
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    // Band in the panel's colour between the outer and the inner bevel.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

    // From the outside in: outer bevel, border band, inner bevel; the rest
    // filled with Color; the caption centred on one line.
    void Paint() override;

    // Draws rings of width one-pixel rings on r: top and left edges in
    // topColor, bottom and right edges (and the top-right and bottom-left
    // corners) in bottomColor; returns r shrunk by width on every side.
    static TRect Frame3D(TCanvas& canvas, TRect r, TColor topColor, TColor bottomColor, int width);

private:
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
    QString ClassName() const override { return QStringLiteral("TPanel"); }
};

// ---------------------------------------------------------------------------
// Pen and brush objects with a change notification (the shape's outline and
// fill). Setters that change nothing do nothing.

class TPenObject {
public:
    TColor Color() const { return pen_.Color; }
    void SetColor(TColor v);
    int Width() const { return pen_.Width; }
    void SetWidth(int v);
    TPenStyle Style() const { return pen_.Style; }
    void SetStyle(TPenStyle v);
    const TPen& Value() const { return pen_; }

    std::function<void()> OnChange;

private:
    void Changed();
    TPen pen_;
};

class TBrushObject {
public:
    TColor Color() const { return brush_.Color; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return brush_.Style; }
    void SetStyle(TBrushStyle v);
    const TBrush& Value() const { return brush_; }

    std::function<void()> OnChange;

private:
    void Changed();
    TBrush brush_;
};

// ---------------------------------------------------------------------------
// TShape: a rectangle, square, ellipse or circle drawn with a pen and a brush.

enum TShapeType : std::uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TShape"); }

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType v);
    // Outline (default: solid black, one pixel) and fill (default: solid
    // white). A change of either repaints the shape.
    TPenObject& Pen() { return pen_; }
    TBrushObject& Brush() { return brush_; }

    // The figure's rectangle for the current size and pen, as drawn.
    TRect FigureRect() const;

    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    TPenObject pen_;
    TBrushObject brush_;
};

// ---------------------------------------------------------------------------
// TListBox: a list of text items, one per row.

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TListBox"); }

    const QStringList& Items() const { return items_; }
    void SetItems(const QStringList& v);
    void AddItem(const QString& item);
    void ClearItems();
    int Count() const { return int(items_.size()); }
    // -1: none selected. Out-of-range values select nothing.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v);

    void Paint() override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKeyCode& key, TShiftState shift) override;
    bool WantsKey(TKeyCode key, TShiftState shift) const override;

private:
    QStringList items_;
    int itemIndex_ = -1;
    int itemHeight_ = 13;
    int topIndex_ = 0;
};

// ---------------------------------------------------------------------------
// TImage: a picture drawn unscaled at the control's top-left.

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TImage"); }

    const TBitmap& Picture() const { return picture_; }
    // Replaces the picture and repaints.
    void SetPicture(const QImage& image);
    // Lets the caller draw on the picture; repaints afterwards.
    void EditPicture(const std::function<void(TBitmap&)>& edit);

    void Paint() override;

private:
    TBitmap picture_;
};

// ---------------------------------------------------------------------------
// TButton: the system push button. A click copies ModalResult to the form;
// Space clicks the focused button, Enter the default (or focused) one,
// Escape the cancel one.

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TButton"); }

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }

    void Click() override;
    void Paint() override;

    bool DialogKey(TKeyCode key, TShiftState shift) override;
    bool DialogChar(QChar ch, TShiftState shift) override;
    void FocusChanged(TWinControl* focused) override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKeyCode& key, TShiftState shift) override;
    void KeyUp(TKeyCode& key, TShiftState shift) override;
    void CancelMode() override;
    void EnabledChanged() override;

private:
    void SetPressed(bool v);

    TModalResult modalResult_ = 0;
    bool default_ = false;
    bool cancel_ = false;
    bool activeDefault_ = false;
    bool pressed_ = false;
    bool mouseHeld_ = false;
    bool spaceHeld_ = false;
};

// ---------------------------------------------------------------------------
// TTimer: calls OnTimer every Interval milliseconds while Enabled.

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    QString ClassName() const override { return QStringLiteral("TTimer"); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    // Milliseconds; 0 stops the timer.
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v);

    TNotifyEvent OnTimer;

    // Runs OnTimer as a tick would (tests drive timers this way).
    void Tick();

private:
    void Update();

    std::unique_ptr<QTimer> timer_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
};
