// The key file. Whatever it holds, the bindings read are safe ones (the
// clamp leaves them as they are), and a file fills only the fields it holds
// whole: the rest keep their defaults.
#include "FuzzTarget.h"

#include "shell/InputDevice.h"

namespace {
FUZZBYTES Bytes(const KEYCONFIG& k) {
    FUZZBYTES v;
    for (const KEYBIND& b : k.aKey) {
        for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(static_cast<uint32_t>(b.nDevice) >> (8 * i)));
        for (int i = 0; i < 2; ++i) v.push_back(static_cast<uint8_t>(static_cast<uint16_t>(b.wCode) >> (8 * i)));
    }
    for (int32_t n : {k.nKey, k.nJoystick, k.bUse})
        for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(static_cast<uint32_t>(n) >> (8 * i)));
    return v;
}
}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    KEYCONFIG k;
    SetDefaultKeyConfig(&k);
    // The stored form of the default record: per binding the device (32
    // bits), the code (16 bits) and two bytes of padding, then the counts.
    FUZZBYTES stored;
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) stored.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (const KEYBIND& b : k.aKey) {
        put(static_cast<uint32_t>(b.nDevice), 4);
        put(static_cast<uint16_t>(b.wCode), 2);
        put(0, 2);
    }
    put(static_cast<uint32_t>(k.nKey), 4);
    put(static_cast<uint32_t>(k.nJoystick), 4);
    put(1, 4);
    FuzzCheck(stored.size() == KEYCONFIG_FILE_SIZE);
    return {stored, FUZZBYTES(stored.begin(), stored.begin() + 50)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    KEYCONFIG k;
    SetDefaultKeyConfig(&k);
    ParseKeyConfig(pData, nSize, &k);
    FuzzAccepted();
    KEYCONFIG again = k;
    ClampKeyConfig(&again);
    FuzzCheck(Bytes(again) == Bytes(k));
    FuzzCheck(k.nJoystick >= 0 && k.nJoystick <= 16 && k.nKey >= 0 && k.nKey <= 12);
    KEYCONFIG twice;
    SetDefaultKeyConfig(&twice);
    ParseKeyConfig(pData, nSize, &twice);
    FuzzCheck(Bytes(twice) == Bytes(k));
    return 0;
}
