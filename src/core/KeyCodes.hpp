#pragma once
// Key codes as the window delivers them (cv::waitKeyEx): ASCII for the keys that have one,
// larger codes for arrows, function keys and Shift, -1 for no key.

constexpr int KEY_NONE = -1;
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESC = 27;
constexpr int KEY_SPACE = 32;

// ASCII capitals to small letters; every other code, including those above 255, unchanged.
constexpr int lowerKey(int key) {
    return key >= 'A' && key <= 'Z' ? key - 'A' + 'a' : key;
}
