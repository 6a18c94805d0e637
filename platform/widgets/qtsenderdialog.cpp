#include "qtsenderdialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

std::optional<Sender> QtSenderDialog::ask(const Sender &offered,
                                          const std::function<QString(const Sender &)> &problem)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(u"Zelvora"_s);
    dialog.setObjectName(u"SenderDialog"_s);
    auto *layout = new QVBoxLayout(&dialog);
    auto *intro = new QLabel(u"メルマガの差出人（From:）になる、あなた自身のメールアドレスです。"
                             u"自分へのテスト送信もこのアドレスに届きます。"_s);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *form = new QFormLayout;
    auto *address = new QLineEdit(offered.address);
    address->setObjectName(u"address"_s);
    address->setAccessibleName(u"メールアドレス"_s);
    auto *name = new QLineEdit(offered.name);
    name->setObjectName(u"name"_s);
    name->setAccessibleName(u"名前（省略可）"_s);
    form->addRow(u"メールアドレス(&A):"_s, address);
    form->addRow(u"名前（省略可）(&N):"_s, name);
    layout->addLayout(form);
    auto *said = new QLabel;
    said->setObjectName(u"problem"_s);
    said->setWordWrap(true);
    said->hide();
    layout->addWidget(said);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    const auto typed = [&] { return Sender { address->text().trimmed(), name->text().trimmed() }; };
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const QString wrong = problem(typed());
        if (wrong.isEmpty())
            return dialog.accept();
        said->setText(wrong);
        said->show();
        address->setFocus();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    address->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return typed();
}
