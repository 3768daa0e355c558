#include "DialogTemplate.h"

namespace {
class Reader {
public:
    explicit Reader(const BYTE* at) : m_at(at) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    BYTE Byte() { return *m_at++; }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    // A string or, after 0xFFFF, an ordinal.
    std::wstring StringOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD c = first; c; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword(const BYTE* base) {
        while ((m_at - base) % 4) ++m_at;
    }
    void Skip(size_t n) { m_at += n; }

private:
    template <class T>
    T Take() {
        T value;
        memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }
    const BYTE* m_at;
};

DialogItem ReadItem(Reader& in) {
    DialogItem item;
    in.Dword();  // help id
    in.Dword();  // extended style
    item.style = in.Dword();
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = in.Dword();
    item.className = in.StringOrOrdinal();
    item.text = in.StringOrOrdinal();
    in.Skip(in.Word());
    return item;
}
}  // namespace

DialogTemplate ReadDialogTemplate(HMODULE module, int id) {
    DialogTemplate result;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (!found) return result;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    Reader in(base);
    if (in.Word() != 1 || in.Word() != 0xFFFF) return result;  // extended templates only
    in.Dword();                                                // help id
    result.exStyle = in.Dword();
    result.style = in.Dword();
    WORD count = in.Word();
    in.Short();
    in.Short();
    result.cx = in.Short();
    result.cy = in.Short();
    in.StringOrOrdinal();  // menu
    in.StringOrOrdinal();  // class
    result.caption = in.String();
    if (result.style & DS_SETFONT) {
        result.pointSize = in.Word();
        in.Word();
        in.Byte();
        in.Byte();
        result.font = in.String();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword(base);
        result.items.push_back(ReadItem(in));
    }
    result.valid = true;
    return result;
}
