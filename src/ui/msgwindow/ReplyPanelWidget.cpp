#include "ui/msgwindow/ReplyPanelWidget.h"

#include <QLabel>

#include "ui/msgwindow/TextBlocks.h"

namespace uimsgwindow {

namespace {

constexpr int kCaptionWidth = 40;
constexpr int kRowHeight = 18;

void WhiteAndBorderless(QWidget& field) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, Qt::white);
    field.setPalette(palette);
    field.setAutoFillBackground(true);
}

}  // namespace

LineEditField::LineEditField(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    WhiteAndBorderless(*this);
}

BodyEdit::BodyEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    // Long lines wrap on the screen as in the reader; what is sent keeps the typed lines.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    WhiteAndBorderless(*this);
}

void BodyEdit::Add(const std::string& text) {
    QString line = QString::fromStdString(text);
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    appendPlainText(line);
}

std::vector<std::string> BodyEdit::Lines() const {
    return BlockLines(*this);
}

void BodyEdit::ReplaceLines(std::size_t first, std::size_t count,
                            const std::vector<std::string>& lines) {
    ReplaceBlocks(*this, first, count, lines);
}

void BodyEdit::CaretToStart() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    ensureCursorVisible();
}

ReplyPanelWidget::ReplyPanelWidget(QWidget* parent)
    : QWidget(parent),
      m_de(nullptr),
      m_from(new LineEditField(this)),
      m_to(new LineEditField(this)),
      m_subj(new LineEditField(this)),
      m_body(new BodyEdit(this)) {
    setObjectName(QStringLiteral("MailPan"));
    m_from->setObjectName(QStringLiteral("MailFrom"));
    m_to->setObjectName(QStringLiteral("MailTo"));
    m_subj->setObjectName(QStringLiteral("MailSubj"));
    m_body->setObjectName(QStringLiteral("MailBody"));
    // The sender is the chosen identity's address; it is changed through the De menu only.
    m_from->setReadOnly(true);
    m_deState.Caption = "from";
    m_deState.Hint = "choose the identity";
    m_deState.Width = kCaptionWidth - 2;
    m_deState.Height = kRowHeight - 2;
    m_de = new uicontrols::ImgBtnWidget(this, m_deState);
    m_de->setObjectName(QStringLiteral("De"));
    auto* to = new QLabel(QStringLiteral("to :"), this);
    auto* subj = new QLabel(QStringLiteral("subj :"), this);
    to->setGeometry(2, kRowHeight, kCaptionWidth - 2, kRowHeight);
    subj->setGeometry(2, 2 * kRowHeight, kCaptionWidth - 2, kRowHeight);
    setAutoFillBackground(true);
    connect(m_de, &uicontrols::ImgBtnWidget::Pressed, this, [this](const skin::ShiftState& shift) {
        if (m_composer)
            m_composer->DeMouseDown(shift);
    });
    hide();
    Arrange();
}

ReplyPanelWidget::~ReplyPanelWidget() {
    // De draws from m_deState, which goes before the children do.
    delete m_de;
    m_de = nullptr;
}

void ReplyPanelWidget::SetComposer(msgwindow::TReplyComposer& composer) {
    m_composer = &composer;
}

void ReplyPanelWidget::LayOver(const QRect& memo) {
    setGeometry(memo);
    Arrange();
}

void ReplyPanelWidget::Arrange() {
    const int fieldWidth = std::max(0, width() - kCaptionWidth);
    m_deState.Left = 1;
    m_deState.Top = 1;
    m_de->SyncGeometry();
    m_from->setGeometry(kCaptionWidth, 0, fieldWidth, kRowHeight - 1);
    m_to->setGeometry(kCaptionWidth, kRowHeight, fieldWidth, kRowHeight - 1);
    m_subj->setGeometry(kCaptionWidth, 2 * kRowHeight, fieldWidth, kRowHeight - 1);
    m_body->setGeometry(0, 3 * kRowHeight, width(), std::max(0, height() - 3 * kRowHeight));
}

void ReplyPanelWidget::PopupIdentityMenu(const std::vector<msgwindow::IdentityMenuItem>& items) {
    // The previous menu goes; a new one is built for the accounts as they are now.
    delete m_menu;
    m_menu = new QMenu(this);
    for (const msgwindow::IdentityMenuItem& item : items) {
        // "&" in an account name is shown as itself, not as an accelerator mark.
        QString caption = QString::fromStdString(item.Caption);
        caption.replace(QChar('&'), QStringLiteral("&&"));
        QAction* action = m_menu->addAction(caption);
        const int tag = item.Tag;
        connect(action, &QAction::triggered, this, [this, tag] {
            if (m_composer)
                m_composer->MnuReplyClick(tag);
        });
    }
    m_menu->popup(m_de->mapToGlobal(QPoint(0, m_de->height())));
}

}  // namespace uimsgwindow
