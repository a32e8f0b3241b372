#include "app/settings_editor/settings_editor.h"

#include "app/settings_editor/editor_tools.h"
#include "app/settings_editor/layout_preview.h"
#include "app/settings_editor/memo_lines.h"
#include "app/settings_editor/settings_check_label.h"
#include "app/settings_editor/settings_pipeline.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/dialogs.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cstdint>
#include <functional>
#include <optional>

namespace {

constexpr int kClientWidth = 358;
constexpr int kClientHeight = 532;
constexpr int kPanelHeight = 41;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 13;
constexpr int kButtonRightGap = 11;

// The OK button's image: a green check mark.
QPixmap checkMarkImage() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.0, 12.0);
    tick.lineTo(13.5, 3.5);
    painter.setPen(QPen(QColor(0, 100, 0), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.setPen(QPen(QColor(0, 170, 0), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return pixmap;
}

// The size of the editor's text as written: every character one byte (a pair
// of surrogates counted twice, the safe side), every line break two. The
// editor holds no line separators (MemoEdit makes paragraphs of them).
std::size_t heldSize(const QTextDocument& document) {
    return static_cast<std::size_t>(document.characterCount() - 1 + document.blockCount() - 1);
}

// The settings text, never longer than the editor loads: a key or a paste
// that would pass kMemoCapacity is refused and the text stays as it was. A
// paste of data that has no format at all inserts nothing: that is what the X
// clipboard holds when nobody owns it (a fresh session, or the program that
// copied has ended), and Qt 6.4's own insert reads the first format without
// looking whether there is one.
class MemoEdit : public QPlainTextEdit {
  public:
    MemoEdit(QWidget* parent, std::function<void()> refused)
        : QPlainTextEdit(parent), refused_(std::move(refused)) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const QString text = event->text();
        const bool typed =
            lineBreak || (!text.isEmpty() && text.front().category() != QChar::Other_Control);
        if (typed && !makesRoom(lineBreak ? 2 : static_cast<std::size_t>(text.size()))) {
            event->accept();
            return;
        }
        // A line break within a paragraph is written as CR LF too: it is one
        // line more, and held as one, so that the text's size is known at once.
        if (lineBreak && (event->modifiers() & Qt::ShiftModifier)) {
            textCursor().insertBlock();
            ensureCursorVisible();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

    void inputMethodEvent(QInputMethodEvent* event) override {
        const QString text = event->commitString();
        if (!text.isEmpty() && !makesRoom(static_cast<std::size_t>(text.size()))) {
            // The composition ends without its text.
            QInputMethodEvent cleared;
            QPlainTextEdit::inputMethodEvent(&cleared);
            event->accept();
            return;
        }
        QPlainTextEdit::inputMethodEvent(event);
    }

    void insertFromMimeData(const QMimeData* source) override {
        if (!source || source->formats().isEmpty())
            return;
        QString text = source->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (const QChar lineBreak :
             {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
            text.replace(lineBreak, QLatin1Char('\n'));
        if (text.isEmpty() ||
            !makesRoom(static_cast<std::size_t>(text.size() + text.count(QLatin1Char('\n')))))
            return;
        insertPlainText(text);
        ensureCursorVisible();
    }

  private:
    // Whether inserting added bytes in place of the selection keeps the text
    // within the capacity; refused_ tells the user when not.
    bool makesRoom(std::size_t added) {
        const QTextCursor cursor = textCursor();
        const auto freed = static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart());
        if (heldSize(*document()) - freed + added <= kMemoCapacity)
            return true;
        refused_();
        return false;
    }

    std::function<void()> refused_;
};

dravik::Error memoCapacityExceeded() {
    return dravik::Error("Text exceeds memo capacity");
}

// The size of settings bytes once the editor holds them: each lone CR or LF
// becomes a line, written back as CR LF.
std::size_t heldSize(std::string_view bytes) {
    std::size_t size = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool crLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (crLf)
            ++i;
        else if (bytes[i] == '\r' || bytes[i] == '\n')
            ++size;
    }
    return size;
}

// Reads the settings file whole into bytes; false when there is no plain file
// at path (a folder of that name does not count). A file beyond the editor's
// capacity is refused before it is read, so a huge file costs no memory; one
// whose lone line breaks pass it once written as CR LF, after.
bool readSettingsFile(const std::string& path, std::string& bytes) {
    if (!dravik::readSettingsBytes(path, bytes))
        return false;
    if (heldSize(bytes) > kMemoCapacity)
        throw memoCapacityExceeded();
    return true;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Edit ini"));

    createMemo();
    createPanel();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    layout->addWidget(Panel1);

    resize(kClientWidth, kClientHeight);
    setSettingsText(dravik::defaultSettingsContent());
}

void TForm2::createMemo() {
    Memo1 = new MemoEdit(this, [this] { refuseOverCapacity(); });
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setTabChangesFocus(true);
}

void TForm2::refuseOverCapacity() {
    if (dialogs_)
        dialogs_->showError(fromCp1251(dravik::errorReportText(memoCapacityExceeded().message())));
}

void TForm2::createPanel() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kPanelHeight);

    BitBtn1 = new QPushButton(QIcon(checkMarkImage()), QStringLiteral("OK"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFixedSize(kButtonWidth, kButtonHeight);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    pipeline_ = new SettingsPipeline(Memo1->document(), settingsBytes, this);
    Label1 = new SettingsCheckLabel(Panel1);
    connect(pipeline_, &SettingsPipeline::checked, Label1, &SettingsCheckLabel::showProblems);
    connect(Label1, &SettingsCheckLabel::problemChosen, this,
            [this](std::size_t line, dravik::ColumnSpan span) {
                showLine(line, span);
                Memo1->setFocus(Qt::MouseFocusReason);
            });

    // The count's stretch keeps the button at its distance from the right edge.
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, kButtonTop, kButtonRightGap,
                            kPanelHeight - kButtonTop - kButtonHeight);
    row->addWidget(Label1, 1);
    row->addWidget(BitBtn1);
    addEditorTools(*Memo1, *this, *row, *Label1, [this] { togglePreview(); });
    connect(new QShortcut(Qt::Key_F6, this), &QShortcut::activated, this, [this] {
        if (preview_ && preview_->isVisible())
            preview_->focusRows();
    });
}

void TForm2::togglePreview() {
    if (preview_ && preview_->isVisible())
        preview_->close();
    else
        openPreview();
}

void TForm2::openPreview() {
    if (!preview_) {
        // The file dialog is the one Edit ini runs the editor with; there is
        // none outside it.
        preview_ = new LayoutPreview(
            *this, *pipeline_,
            [this](const QString& caption, const QString& start, const QString& filter) {
                return dialogs_ ? dialogs_->chooseFile(caption, start, filter) : QString();
            });
        connect(preview_, &LayoutPreview::lineChosen, this,
                [this](std::size_t line) { showLine(line); });
        connect(preview_, &LayoutPreview::familyLineAsked, this, &TForm2::insertLines);
        connect(Memo1, &QPlainTextEdit::cursorPositionChanged, preview_, [this] {
            if (preview_->isVisible())
                preview_->followLine(cursorLine());
        });
    }
    preview_->followLine(cursorLine());
    preview_->open();
}

std::size_t TForm2::cursorLine() const {
    return MemoLines::of(Memo1->document())->place(Memo1->textCursor()).line;
}

void TForm2::showLine(std::size_t line, dravik::ColumnSpan selected) {
    QTextCursor cursor(Memo1->document());
    const int start = MemoLines::of(Memo1->document())->lineStart(line);
    cursor.setPosition(start);
    // The columns are those of the text as checked, which may have changed since.
    cursor.movePosition(QTextCursor::EndOfBlock);
    const int lineEnd = cursor.position();
    const auto at = [&](std::size_t column) {
        return static_cast<int>(std::min<std::size_t>(start + column, lineEnd));
    };
    // The cursor stands at the selection's start, where the line's text begins.
    cursor.setPosition(at(selected.end));
    cursor.setPosition(at(selected.begin), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    Memo1->centerCursor();
}

void TForm2::insertLines(std::size_t line, const QString& lines) {
    QTextDocument* document = Memo1->document();
    const auto added = static_cast<std::size_t>(lines.size() + 2 * (lines.count(u'\n') + 1));
    if (heldSize(*document) + added > kMemoCapacity) {
        refuseOverCapacity();
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(MemoLines::of(document)->lineStart(line));
    cursor.beginEditBlock();
    // Past a last line that has text, the lines go after a break of their own.
    if (cursor.atBlockStart())
        cursor.insertText(lines + QLatin1Char('\n'));
    else
        cursor.insertText(QLatin1Char('\n') + lines);
    cursor.endEditBlock();
}

void TForm2::setSettingsText(std::string_view bytes) {
    std::string lines;
    lines.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            lines += bytes[i];
        }
    }
    Memo1->setPlainText(fromCp1251(lines));
    // A long text is checked without holding the window up.
    pipeline_->passInWorker();
}

std::string TForm2::settingsText() const {
    return settingsBytes(Memo1->document()->toRawText());
}

std::string settingsBytes(QString rawText) {
    rawText.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    rawText.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return toCp1251(rawText);
}

void TForm2::setVisible(bool visible) {
    // Centred at each opening, also after the user moved it; once more when
    // shown, as the size of the window's frame may be known only then.
    const bool opening = visible && !isVisible();
    if (opening)
        centreOnScreen();
    QDialog::setVisible(visible);
    if (opening) {
        centreOnScreen();
        Memo1->setFocus(Qt::OtherFocusReason);
    }
}

void TForm2::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    // There is no Cancel button, so Esc closes nothing; the editor closes
    // with OK or through its close box.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void editSettings(TForm2& editor, const std::string& startFolder, Dialogs& dialogs) {
    const std::string path = dravik::settingsFilePath(startFolder);
    // Without a file the editor keeps its text: the default content at first,
    // later what the user left in it.
    if (std::string bytes; readSettingsFile(path, bytes))
        editor.setSettingsText(bytes);
    editor.dialogs_ = &dialogs;
    const bool ok = dialogs.runEditor(editor);
    editor.dialogs_ = nullptr;
    if (!ok)
        return;
    const std::string text = editor.settingsText();
    // Never a file that the next Edit ini would refuse.
    if (text.size() > kMemoCapacity)
        throw memoCapacityExceeded();
    dravik::writeFileSafely(path, text, dravik::WriteStyle::Whole);
}
