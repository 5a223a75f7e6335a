#pragma once
// Qt's modal dialogs driven from a test: what the user does is scheduled before, and done once they show.
#include <QtPrintSupport>
#include <QtWidgets>

#include <gtest/gtest.h>

// Google Test's messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace zebrix::test {

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Calls `act` with the next modal dialog of type W once it shows (a failure after 10 s).
template <class W> void OnModal(std::function<void(W*)> act)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop(), timer->deleteLater(), act(w);
        } else if (deadline.hasExpired()) {
            timer->stop(), timer->deleteLater(), ADD_FAILURE() << "no dialog showed up";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

// Answers every modal dialog as it shows with the next answer queued for its kind, or cancels it. Message
// boxes and input boxes are noted in `shown` ("title|icon|text", "title|prompt|proposed"), others by class.
struct Dialogs {
    Dialogs()
    {
        timer.callOnTimeout([this] { answer(QApplication::activeModalWidget()); }), timer.start(5);
    }
    void answer(QWidget* w)
    {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || !dialog->isVisible())
            return;
        if (seen(w); auto* box = qobject_cast<QMessageBox*>(w)) {
            shown << box->windowTitle() + "|" + QString::number(box->icon()) + "|" + box->text();
            QAbstractButton* button = buttons.empty() ? box->escapeButton() : box->button(buttons.takeFirst());
            button ? button->click() : box->reject();
        } else if (auto* input = qobject_cast<QInputDialog*>(w)) {
            shown << input->windowTitle() + "|" + input->labelText() + "|" + input->textValue();
            inputs.empty() ? input->reject() : (input->setTextValue(inputs.takeFirst()), input->accept());
        } else if (auto* d = qobject_cast<QFileDialog*>(w); d && !files.empty()) {
            const auto [path, type] = files.takeFirst();
            auto* types = d->findChild<QComboBox*>("fileTypeCombo");
            types->setCurrentIndex(type - 1), emit types->activated(type - 1);
            d->findChild<QAbstractItemView*>("listView")->clearSelection(); // as typing in the name does
            d->findChild<QLineEdit*>("fileNameEdit")->setText(path),
                dialog->done(QDialog::Accepted); // unasked
        } else if (auto* p = qobject_cast<QPrintDialog*>(w); p && !pdfs.empty()) {
            p->printer()->setOutputFileName(pdfs.takeFirst()), dialog->done(QDialog::Accepted);
        } else {
            shown << dialog->metaObject()->className(), dialog->reject();
        }
    }
    QList<std::pair<QString, int>> files; // path typed in the save dialog, file type from 1
    QStringList inputs, pdfs; // text typed in the input box; PDF file printed to
    QList<QMessageBox::StandardButton> buttons;
    QStringList shown;
    std::function<void(QWidget*)> seen = [](QWidget*) {}; // told of every dialog before it is answered
    QTimer timer;
};

} // namespace zebrix::test
