#pragma once
// Driving Qt's modal dialogs from a test: their exec() runs its own loop, so
// what the user does is scheduled before and done once they show.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>

// Google Test's messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace zebrix::test {

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Calls `act` with the next modal dialog of type W once it shows.
template <class W> void OnModal(std::function<void(W*)> act)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop(), timer->deleteLater(), act(w);
        } else if (deadline.hasExpired()) {
            timer->stop(), timer->deleteLater();
            ADD_FAILURE() << "no dialog showed up";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

// Answers every modal dialog as it shows with the next answer queued for its
// kind; with none queued, it is cancelled. Message boxes and input boxes are
// noted in `shown` ("title|icon|text", "title|prompt|proposed"), other
// dialogs cancelled by their class name.
struct Dialogs {
    Dialogs()
    {
        timer.callOnTimeout([this] { answer(QApplication::activeModalWidget()); });
        timer.start(5);
    }
    void answer(QWidget* w)
    {
        if (!w || !w->isVisible())
            return;
        if (seen)
            seen(w);
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            shown << box->windowTitle() + "|" + QString::number(box->icon()) + "|" + box->text();
            const auto button = buttons.empty() ? box->escapeButton() : box->button(buttons.front());
            (buttons.empty() ? void() : buttons.pop_front()), (button ? button->click() : box->reject());
        } else if (auto* input = qobject_cast<QInputDialog*>(w)) {
            shown << input->windowTitle() + "|" + input->labelText() + "|" + input->textValue();
            inputs.empty() ? input->reject()
                           : (input->setTextValue(inputs.front()), inputs.pop_front(), input->accept());
        } else if (auto* d = qobject_cast<QFileDialog*>(w); d && !files.empty()) {
            auto* types = d->findChild<QComboBox*>("fileTypeCombo");
            types->setCurrentIndex(files.front().second - 1), emit types->activated(files.front().second - 1);
            d->findChild<QAbstractItemView*>("listView")->clearSelection(); // as typing in the name does
            d->findChild<QLineEdit*>("fileNameEdit")->setText(files.front().first);
            files.pop_front(), static_cast<QDialog*>(d)->done(QDialog::Accepted); // any replace confirmed
        } else if (auto* p = qobject_cast<QPrintDialog*>(w); p && !pdfs.empty()) {
            p->printer()->setOutputFileName(pdfs.front()), pdfs.pop_front(),
                static_cast<QDialog*>(p)->done(QDialog::Accepted);
        } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
            shown << dialog->metaObject()->className(), dialog->reject();
        }
    }
    std::deque<std::pair<QString, int>> files; // path typed in the save dialog, file type from 1
    std::deque<QString> inputs, pdfs; // text typed in the input box; PDF file printed to
    std::deque<QMessageBox::StandardButton> buttons;
    QStringList shown;
    std::function<void(QWidget*)> seen; // told of every dialog before it is answered
    QTimer timer;
};

} // namespace zebrix::test
