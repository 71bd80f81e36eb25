#include "app/connectionlog.h"

#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

void showConnectionLog(QWidget* parent, const QString& log)
{
    auto* dialog = parent->findChild<QDialog*>(QStringLiteral("connectionLog"));
    if (!dialog) {
        dialog = new QDialog(parent);
        dialog->setObjectName(QStringLiteral("connectionLog"));
        dialog->setWindowTitle(QCoreApplication::translate("LumtarMain", "Connection log"));
        dialog->resize(520, 360);
        auto* layout = new QVBoxLayout(dialog);
        auto* text = new QPlainTextEdit(dialog);
        text->setObjectName(QStringLiteral("connectionLogText"));
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        text->setMaximumBlockCount(2000);
        layout->addWidget(text);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
        QPushButton* copy = buttons->addButton(QCoreApplication::translate("LumtarMain", "Copy"),
                                               QDialogButtonBox::ActionRole);
        QObject::connect(copy, &QPushButton::clicked, text,
                         [text] { QGuiApplication::clipboard()->setText(text->toPlainText()); });
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
        layout->addWidget(buttons);
    }
    auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("connectionLogText"));
    text->setPlainText(log);
    text->moveCursor(QTextCursor::End);
    dialog->show();
    dialog->raise();
}

void appendToConnectionLog(QWidget* parent, const QString& line)
{
    auto* dialog = parent->findChild<QDialog*>(QStringLiteral("connectionLog"));
    if (!dialog || !dialog->isVisible())
        return;
    auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("connectionLogText"));
    // Kept as plain text: the lines carry what openvpn and the service said.
    text->appendPlainText(line);
}
