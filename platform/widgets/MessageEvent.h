#pragma once

#include <QEvent>
#include <cstdint>

class QObject;

namespace Platform_ns {

// A window message with one value, as controls send it to their parent window.
// Posted, it is handled after the handler that posted it has returned; the receiver
// takes it in customEvent().
class MessageEvent_cl : public QEvent {
public:
    MessageEvent_cl(uint32_t message, int32_t value);

    static QEvent::Type EventType();
    uint32_t Message() const { return message; }
    int32_t Value() const { return value; }

    // Queues the message for receiver.
    static void Post(QObject* receiver, uint32_t message, int32_t value);
    // Delivers the message to receiver at once.
    static void Send(QObject* receiver, uint32_t message, int32_t value);

private:
    uint32_t message;
    int32_t value;
};

}  // namespace Platform_ns
