#pragma once
// Answers the modal dialogs that code under test opens with exec(), as a user would: a timer
// watches for the top modal widget and hands each new one of type W to the answer, which
// must close it.
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

template <class W> class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(W*)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(5);
    }
    // How many dialogs of type W were answered.
    int Count() const { return count_; }

private:
    void Look() {
        QWidget* top = QApplication::activeModalWidget();
        if (top == seen_.data()) return;
        seen_ = top;
        if (auto* w = qobject_cast<W*>(top)) {
            ++count_;
            answer_(w);
        }
    }

    std::function<void(W*)> answer_;
    QTimer timer_;
    QPointer<QWidget> seen_;
    int count_ = 0;
};
