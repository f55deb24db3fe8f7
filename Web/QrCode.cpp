#include "QrCode.h"

#include "base/UserError.h"

#include <iterator>
#include <qrencode.h>

namespace Web_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "链接太长，无法生成二维码。"}};
    return Base_ns::UserError_cl(line, __FILE__, QrCode_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 QString());
}

constexpr int kQuiet = 2;

}  // namespace

QrCode_cl::QrCode_cl(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    QRcode* code = QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M);
    if (code == nullptr) throw UserError(101, __LINE__);
    width = code->width;
    modules.resize(size_t(width) * size_t(width));
    for (size_t i = 0; i < modules.size(); ++i) modules[i] = (code->data[i] & 1) != 0;
    QRcode_free(code);
}

QString QrCode_cl::TerminalText() const {
    // Light modules are drawn as blocks, dark ones as spaces, so that the code reads on
    // a dark terminal; the quiet zone around it is light.
    const auto light = [this](int x, int y) {
        return x < 0 || y < 0 || x >= width || y >= width || !Dark(x, y);
    };
    QString text;
    for (int y = -kQuiet; y < width + kQuiet; y += 2) {
        for (int x = -kQuiet; x < width + kQuiet; ++x) {
            const bool top = light(x, y);
            const bool bottom = light(x, y + 1) && y + 1 < width + kQuiet;
            text += top && bottom ? QChar(0x2588) : top ? QChar(0x2580) : bottom ? QChar(0x2584) : QChar(u' ');
        }
        text += u'\n';
    }
    return text;
}

}  // namespace Web_ns
