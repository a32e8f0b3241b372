#include "modules/decoded.h"

namespace dravik {

void appendDecoded(Decoded decoded, Context& context) {
    auto message = decoded.messages.begin();
    const auto showUpTo = [&](std::size_t row) {
        for (; message != decoded.messages.end() && message->row <= row; ++message)
            context.ui.showMessage(message->text);
    };
    for (std::size_t i = 0; i < decoded.rows.size(); ++i) {
        showUpTo(i);
        context.results.append(std::move(decoded.rows[i]));
    }
    for (; message != decoded.messages.end(); ++message)
        context.ui.showMessage(message->text);
    if (decoded.error)
        throw *decoded.error;
}

} // namespace dravik
