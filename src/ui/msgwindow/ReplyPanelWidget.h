#pragma once
// The reply panel `MailPan`, laid over the message window's memo: the caption column ("from"
// on the image button `De`, "to :", "subj :"), the one-line fields MailFrom, MailTo and
// MailSubj, borderless on white, and the plain body memo MailBody below them.
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>

#include "msgwindow/ReplyComposer.h"
#include "skin/ImgBtn.h"
#include "ui/controls/ImgBtnWidget.h"

namespace uimsgwindow {

class LineEditField final : public QLineEdit, public msgwindow::LineField {
    Q_OBJECT
public:
    explicit LineEditField(QWidget* parent);
    std::string Text() const override { return text().toStdString(); }
    void SetText(const std::string& value) override { setText(QString::fromStdString(value)); }
};

class BodyEdit final : public QPlainTextEdit, public msgwindow::Memo {
    Q_OBJECT
public:
    explicit BodyEdit(QWidget* parent);
    void Clear() override { clear(); }
    void Add(const std::string& text) override;
    std::vector<std::string> Lines() const override;
    void ReplaceLines(std::size_t first, std::size_t count,
                      const std::vector<std::string>& lines) override;
    void SetReadOnly(bool readOnly) override { setReadOnly(readOnly); }
    void PageUp() override {}
    void PageDown() override {}
    void CaretToStart() override;
};

class ReplyPanelWidget final : public QWidget, public msgwindow::ReplyPanel {
    Q_OBJECT
public:
    explicit ReplyPanelWidget(QWidget* parent);
    ~ReplyPanelWidget() override;

    // Where the composer's identity menu choices go; set once the composer exists.
    void SetComposer(msgwindow::TReplyComposer& composer);
    // Takes the memo's place and size and stretches the fields to the new edges.
    void LayOver(const QRect& memo);

    msgwindow::LineField& MailFrom() override { return *m_from; }
    msgwindow::LineField& MailTo() override { return *m_to; }
    msgwindow::LineField& MailSubj() override { return *m_subj; }
    msgwindow::Memo& MailBody() override { return *m_body; }
    void FocusMailTo() override { m_to->setFocus(); }
    void FocusMailBody() override { m_body->setFocus(); }
    void PopupIdentityMenu(const std::vector<msgwindow::IdentityMenuItem>& items) override;

    uicontrols::ImgBtnWidget& De() { return *m_de; }
    QMenu& IdentityMenu() { return *m_menu; }

private:
    void Arrange();

    skin::TImgBtn m_deState;
    uicontrols::ImgBtnWidget* m_de;
    LineEditField* m_from;
    LineEditField* m_to;
    LineEditField* m_subj;
    BodyEdit* m_body;
    QMenu* m_menu = nullptr;
    msgwindow::TReplyComposer* m_composer = nullptr;
};

}  // namespace uimsgwindow
