// What a program without administrator rights might put where an installer looks for an
// earlier installation's uninstaller: it leaves the file C:\planted-program-ran behind.
#include <windows.h>

int main() {
    HANDLE mark = CreateFileW(L"C:\\planted-program-ran", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE)
        CloseHandle(mark);
    return 0;
}
