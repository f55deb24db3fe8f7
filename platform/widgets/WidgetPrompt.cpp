#include "WidgetPrompt.h"

#include <QGridLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>

namespace Platform_ns {

namespace {

struct ButtonText_st {
    QMessageBox::StandardButton button;
    const char* text;  // UTF-8
};

// The interface is Chinese whatever translations are installed.
const ButtonText_st kButtonTexts[] = {{QMessageBox::Ok, "确定"},
                                      {QMessageBox::Cancel, "取消"},
                                      {QMessageBox::Yes, "是(&Y)"},
                                      {QMessageBox::No, "否(&N)"}};

// Room for the close button and the window manager's margins beside a title.
constexpr int kTitleBarButtons = 120;

QMessageBox::StandardButtons StandardButtons(Buttons_en buttons) {
    switch (buttons) {
    case Buttons_en::OK: return QMessageBox::Ok;
    case Buttons_en::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons_en::YesNo: return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// The patterns of one "|" pair: "*.a;*.b" -> "*.a *.b".
QString Patterns(const QString& pattern) {
    QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& part : parts) part = part.trimmed();
    return parts.join(QLatin1Char(' '));
}

}  // namespace

std::unique_ptr<QMessageBox> WidgetPrompt_cl::MakeMessageBox(QWidget* owner, const QString& text,
                                                             const QString& caption, Buttons_en buttons) {
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(caption);
    // Texts are shown as they are: a "<" in a remark must not turn into markup.
    box->setTextFormat(Qt::PlainText);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setText(shown);
    box->setStandardButtons(StandardButtons(buttons));
    for (const ButtonText_st& entry : kButtonTexts) {
        if (QAbstractButton* button = box->button(entry.button)) button->setText(QString::fromUtf8(entry.text));
    }
    box->setDefaultButton(buttons == Buttons_en::YesNo ? QMessageBox::Yes : QMessageBox::Ok);
    // A box as narrow as a short text would cut its title to an ellipsis: it is at least as
    // wide as the title and the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int width = box->fontMetrics().horizontalAdvance(caption) + kTitleBarButtons;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box;
}

Answer_en WidgetPrompt_cl::ToAnswer(int result, Buttons_en buttons) {
    switch (result) {
    case QMessageBox::Ok: return Answer_en::OK;
    case QMessageBox::Cancel: return Answer_en::Cancel;
    case QMessageBox::Yes: return Answer_en::Yes;
    case QMessageBox::No: return Answer_en::No;
    }
    // Closed some other way: the cautious answer of the box.
    switch (buttons) {
    case Buttons_en::OK: return Answer_en::OK;
    case Buttons_en::OKCancel: return Answer_en::Cancel;
    case Buttons_en::YesNo: return Answer_en::No;
    }
    return Answer_en::Cancel;
}

Answer_en WidgetPrompt_cl::Message(QWidget* owner, const QString& text, const QString& caption,
                                   Buttons_en buttons) {
    const std::unique_ptr<QMessageBox> box = MakeMessageBox(owner, text, caption, buttons);
    return ToAnswer(box->exec(), buttons);
}

QStringList WidgetPrompt_cl::NameFilters(const QString& filter) {
    const QStringList pieces = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        const QString& pattern = pieces[i + 1];
        if (pattern.trimmed().isEmpty()) continue;
        // Qt reads the patterns from the parentheses at the end of the description, so
        // the pattern given after "|" replaces any copy of it the description shows.
        QString description = pieces[i].trimmed();
        const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description.endsWith(shown)) description.chop(shown.size());
        description = description.trimmed();
        filters.append(description + QStringLiteral(" (") + Patterns(pattern) + QLatin1Char(')'));
    }
    return filters;
}

QString WidgetPrompt_cl::DefaultSuffix(const QString& filter) {
    const QStringList pieces = filter.split(QLatin1Char('|'));
    if (pieces.size() < 2) return QString();
    const QString first = pieces[1].split(QLatin1Char(';')).first().trimmed();
    static const QRegularExpression plain(QStringLiteral("^\\*\\.([^*?.\\[\\]]+)$"));
    const QRegularExpressionMatch match = plain.match(first);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::unique_ptr<QFileDialog> WidgetPrompt_cl::MakeFileDialog(QWidget* owner, QFileDialog::AcceptMode mode,
                                                             const QString& filter, const QString& folder,
                                                             const QString& fileName) {
    const bool open = mode == QFileDialog::AcceptOpen;
    auto dialog = std::make_unique<QFileDialog>(owner, open ? QStringLiteral("打开") : QStringLiteral("另存为"),
                                                folder);
    dialog->setAcceptMode(mode);
    // Open: the file must exist. Save: Qt asks before overwriting an existing file.
    dialog->setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = NameFilters(filter);
    if (!filters.isEmpty()) dialog->setNameFilters(filters);
    if (!open) dialog->setDefaultSuffix(DefaultSuffix(filter));
    if (!fileName.isEmpty()) dialog->selectFile(fileName);
    return dialog;
}

QString WidgetPrompt_cl::OpenFile(QWidget* owner, const QString& filter, const QString& folder) {
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(owner, QFileDialog::AcceptOpen, filter, folder, QString());
    if (dialog->exec() != QDialog::Accepted) return QString();
    return dialog->selectedFiles().value(0);
}

QString WidgetPrompt_cl::SaveFile(QWidget* owner, const QString& filter, const QString& folder,
                                  const QString& fileName) {
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(owner, QFileDialog::AcceptSave, filter, folder, fileName);
    if (dialog->exec() != QDialog::Accepted) return QString();
    return dialog->selectedFiles().value(0);
}

}  // namespace Platform_ns
