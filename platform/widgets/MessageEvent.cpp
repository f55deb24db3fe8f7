#include "MessageEvent.h"

#include <QCoreApplication>

namespace Platform_ns {

MessageEvent_cl::MessageEvent_cl(uint32_t message, int32_t value)
    : QEvent(EventType()), message(message), value(value) {}

QEvent::Type MessageEvent_cl::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void MessageEvent_cl::Post(QObject* receiver, uint32_t message, int32_t value) {
    QCoreApplication::postEvent(receiver, new MessageEvent_cl(message, value));
}

void MessageEvent_cl::Send(QObject* receiver, uint32_t message, int32_t value) {
    MessageEvent_cl event(message, value);
    QCoreApplication::sendEvent(receiver, &event);
}

}  // namespace Platform_ns
