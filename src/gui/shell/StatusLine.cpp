#include "StatusLine.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <algorithm>

TStatusLine::TStatusLine(QWidget *parent) : QWidget(parent)
{
    view_ = new QPlainTextEdit(this);
    view_->setReadOnly(true);
    view_->setFocusPolicy(Qt::NoFocus);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setFrameShape(QFrame::NoFrame);
    view_->document()->setDocumentMargin(3);
    QFont font("Arial");
    font.setPixelSize(13);
    view_->setFont(font);

    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setVisible(false);

    SetColor(0xFFFFFF);
}

void TStatusLine::SetText(const std::string &text)
{
    text_ = text;
    ShowText();
}

void TStatusLine::Append(const std::string &text)
{
    text_ += text;
    ShowText();
}

void TStatusLine::ShowText()
{
    // The text is bytes of the sheet's character set; CR and LF both break
    // the line, as in a rich edit.
    QString shown = QString::fromLatin1(text_.data(), qsizetype(text_.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    shown.remove(QChar(0));
    view_->setPlainText(shown);
}

void TStatusLine::SetColor(uint32_t bgr)
{
    color_ = bgr;
    QPalette pal = view_->palette();
    pal.setColor(QPalette::Base, QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
    pal.setColor(QPalette::Text, QColor(0, 0, 0x80));  // navy
    view_->setPalette(pal);
    view_->viewport()->update();
}

void TStatusLine::SetProgressVisible(bool visible)
{
    bar_->setVisible(visible);
    if (visible)
        bar_->raise();
}

int TStatusLine::ProgressPosition() const
{
    return bar_->value();
}

void TStatusLine::SetProgressPosition(int position)
{
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

void TStatusLine::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    view_->setGeometry(rect());
    bar_->setGeometry(rect());
}
