// The status line at the foot of the window: a line of text that the
// calculate command writes and blinks red and white, with the progress bar
// of a running calculation lying over it.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "engine/CalcThread.h"

class QPlainTextEdit;
class QProgressBar;

class TStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit TStatusLine(QWidget *parent = nullptr);

    // The text exactly as written, line breaks included; the view shows the
    // first line.
    const std::string &Text() const { return text_; }
    void SetText(const std::string &text);
    void Append(const std::string &text);

    // Background colour as a BGR value (0x0000FF red, 0xFFFFFF white).
    uint32_t Color() const { return color_; }
    void SetColor(uint32_t bgr);

    // The progress bar of a running calculation: shown over the text while
    // the evaluator runs; positions are kept to the bar's range 0..100.
    QProgressBar *ProgressBar1() const { return bar_; }
    void SetProgressVisible(bool visible);
    int ProgressPosition() const;
    void SetProgressPosition(int position);
    QPlainTextEdit *View() const { return view_; }
    // The bar as the evaluator drives it.
    TProgressBar *Progress() { return &progress_; }

protected:
    void resizeEvent(QResizeEvent *) override;

private:
    void ShowText();

    struct TBarOfStatusLine : TProgressBar {
        explicit TBarOfStatusLine(TStatusLine &s) : line(s) {}
        void SetVisible(bool visible) override { line.SetProgressVisible(visible); }
        int Position() const override { return line.ProgressPosition(); }
        void SetPosition(int position) override { line.SetProgressPosition(position); }
        TStatusLine &line;
    };

    QPlainTextEdit *view_;
    QProgressBar *bar_;
    TBarOfStatusLine progress_{*this};
    std::string text_;
    uint32_t color_ = 0xFFFFFF;
};
