#include "library/sha256.h"

#include <gtest/gtest.h>

#include <iostream>

namespace dravik::library {
namespace {

struct Vector {
    std::string input;
    std::string digest;
};

// FIPS 180-4's examples, and lengths around the 56 bytes where the padding
// needs a second block.
const Vector kVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

// Both engines: the processor's instructions (where this one has them) and
// the portable code.
TEST(Sha256, GivesTheKnownDigests) {
    std::cout << "SHA-256 instructions: " << (Sha256::hasFastEngine() ? "yes" : "no") << "\n";
    for (const Sha256::Engine engine : {Sha256::Engine::Best, Sha256::Engine::Portable}) {
        const int tried = static_cast<int>(engine);
        for (const Vector& vector : kVectors) {
            Sha256 whole(engine);
            whole.add(vector.input);
            EXPECT_EQ(whole.hex(), vector.digest) << vector.input.size() << " bytes, engine " << tried;
            // The same bytes fed in uneven pieces.
            Sha256 pieces(engine);
            for (std::size_t at = 0; at < vector.input.size(); at += 7)
                pieces.add(std::string_view(vector.input).substr(at, 7));
            EXPECT_EQ(pieces.hex(), vector.digest) << vector.input.size() << " bytes in pieces, engine " << tried;
        }
    }
    EXPECT_EQ(sha256Hex("abc"), kVectors[1].digest);
}

} // namespace
} // namespace dravik::library
