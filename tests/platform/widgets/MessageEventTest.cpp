#include "platform/widgets/MessageEvent.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

using Platform_ns::MessageEvent_cl;

namespace {

class Receiver_cl : public QObject {
public:
    QList<QPair<uint32_t, int32_t>> received;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != MessageEvent_cl::EventType()) return;
        const auto* message = static_cast<MessageEvent_cl*>(event);
        received.append({message->Message(), message->Value()});
    }
};

}  // namespace

TEST(MessageEvent, PostedMessagesWaitForTheEventLoopSentOnesDoNot) {
    Receiver_cl receiver;
    MessageEvent_cl::Post(&receiver, 13141, 1);
    MessageEvent_cl::Send(&receiver, 42, -5);
    ASSERT_EQ(receiver.received.size(), 1);
    EXPECT_EQ(receiver.received[0], qMakePair(uint32_t(42), int32_t(-5)));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(receiver.received.size(), 2);
    EXPECT_EQ(receiver.received[1], qMakePair(uint32_t(13141), int32_t(1)));
}
