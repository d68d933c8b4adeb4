// Pasting and dropping into single-line boxes: the event filter that takes over each way
// text from the clipboard or a drag gets into a QLineEdit, and inserts the text on one line.
#include "PastedText.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

namespace {

bool isLineBreak(QChar ch) {
    switch (ch.unicode()) {
    case 0x0A: // LF
    case 0x0B: // VT
    case 0x0C: // FF
    case 0x0D: // CR
    case 0x85: // NEL
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

bool isBlank(QChar ch) {
    return ch == u' ' || ch == u'\t';
}

class PasteFilter : public QObject {
public:
    PasteFilter(QLineEdit* box, PastedText::Blanks blanks)
        : QObject(box), m_box(box), m_blanks(blanks) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paste(QClipboard::Mode mode);
    bool pasteKey(QKeyEvent* event);
    void showContextMenu(const QContextMenuEvent* event);
    bool drop(QDropEvent* event);

    QLineEdit* m_box;
    PastedText::Blanks m_blanks;
    bool m_dropping = false;
};

// As QLineEdit pastes: the clipboard's text replaces the selection, as an undo step of its
// own. The box starts a new undo step whenever its cursor moves, so a nudge of the cursor
// before and after keeps the paste apart from the typing around it.
void PasteFilter::paste(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (m_box->isReadOnly() || (text.isEmpty() && !m_box->hasSelectedText()))
        return;
    const int cursor = m_box->cursorPosition();
    if (!m_box->hasSelectedText() && cursor > 0) {
        m_box->setCursorPosition(cursor - 1);
        m_box->setCursorPosition(cursor);
    }
    m_box->insert(PastedText::forBox(text, m_blanks));
    const int end = m_box->cursorPosition();
    if (end > 0) {
        m_box->setCursorPosition(end - 1);
        m_box->setCursorPosition(end);
    }
}

bool PasteFilter::pasteKey(QKeyEvent* event) {
    if (!event->matches(QKeySequence::Paste) || m_box->isReadOnly())
        return false;
    // Ctrl+Shift+Insert pastes the selection where there is one (X11), as in QLineEdit.
    const bool selection = event->key() == Qt::Key_Insert &&
                           event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                           QGuiApplication::clipboard()->supportsSelection();
    paste(selection ? QClipboard::Selection : QClipboard::Clipboard);
    event->accept();
    return true;
}

// The box's own context menu, with its Paste going through paste().
void PasteFilter::showContextMenu(const QContextMenuEvent* event) {
    QPointer<QMenu> menu = m_box->createStandardContextMenu();
    if (menu == nullptr)
        return;
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) != pasteText)
            continue;
        QObject::disconnect(action, &QAction::triggered, m_box, nullptr);
        QObject::connect(action, &QAction::triggered, this,
                         [this] { paste(QClipboard::Clipboard); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// The drop is handed to the box again with the text made fit, so the box places and selects
// it as it does any drop.
bool PasteFilter::drop(QDropEvent* event) {
    if (m_dropping || !event->mimeData()->hasText())
        return false;
    QMimeData fitted;
    fitted.setText(PastedText::forBox(event->mimeData()->text(), m_blanks));
    QDropEvent copy(event->position(), event->possibleActions(), &fitted, event->buttons(),
                    event->modifiers(), event->type());
    copy.setDropAction(event->dropAction());
    copy.setAccepted(false);
    m_dropping = true;
    QCoreApplication::sendEvent(m_box, &copy);
    m_dropping = false;
    event->setDropAction(copy.dropAction());
    event->setAccepted(copy.isAccepted());
    return true;
}

bool PasteFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_box)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return pasteKey(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
        showContextMenu(static_cast<QContextMenuEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease: {
        // The X11 middle-click pastes the selection where the press put the cursor.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton ||
            !QGuiApplication::clipboard()->supportsSelection() || m_box->isReadOnly())
            return false;
        m_box->deselect();
        paste(QClipboard::Selection);
        return true;
    }
    case QEvent::Drop:
        return drop(static_cast<QDropEvent*>(event));
    default:
        return false;
    }
}

} // namespace

QString PastedText::singleLine(const QString& text) {
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (!isLineBreak(ch)) {
            line += ch;
            continue;
        }
        line += u' ';
        if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
    }
    return line;
}

QString PastedText::forBox(const QString& text, Blanks blanks) {
    QString line = singleLine(text);
    if (blanks == TrimBlanks) {
        qsizetype start = 0;
        qsizetype end = line.size();
        while (start < end && isBlank(line.at(start)))
            ++start;
        while (end > start && isBlank(line.at(end - 1)))
            --end;
        line = line.mid(start, end - start);
    }
    return line;
}

void PastedText::install(QLineEdit* box, Blanks blanks) {
    box->installEventFilter(new PasteFilter(box, blanks));
}
