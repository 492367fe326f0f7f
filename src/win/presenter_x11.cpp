// The X11 presenter: one X window showing the virtual screen 1:1. X pointer,
// keyboard and focus events become injected input; what the compositor
// changed is put to the window with XPutImage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "win/internal.h"
#include "win/presenter.h"
#include "win/theme.h"

#include <algorithm>
#include <map>
#include <vector>

namespace win {

namespace {

constexpr int VK_PACKET = 0xE7;

// The US layout: the unshifted keysym of a key names its virtual key.
int VirtualKeyOf(KeySym ks) {
    if (ks >= XK_a && ks <= XK_z) return static_cast<int>('A' + (ks - XK_a));
    if (ks >= XK_A && ks <= XK_Z) return static_cast<int>('A' + (ks - XK_A));
    if (ks >= XK_0 && ks <= XK_9) return static_cast<int>('0' + (ks - XK_0));
    if (ks >= XK_F1 && ks <= XK_F24) return VK_F1 + static_cast<int>(ks - XK_F1);
    if (ks >= XK_KP_0 && ks <= XK_KP_9) return VK_NUMPAD0 + static_cast<int>(ks - XK_KP_0);
    static const std::map<KeySym, int> keys = {
        {XK_Return, VK_RETURN},
        {XK_KP_Enter, VK_RETURN},
        {XK_Escape, VK_ESCAPE},
        {XK_Tab, VK_TAB},
        {XK_ISO_Left_Tab, VK_TAB},
        {XK_BackSpace, VK_BACK},
        {XK_space, VK_SPACE},
        {XK_Delete, VK_DELETE},
        {XK_Insert, VK_INSERT},
        {XK_Home, VK_HOME},
        {XK_End, VK_END},
        {XK_Prior, VK_PRIOR},
        {XK_Next, VK_NEXT},
        {XK_Left, VK_LEFT},
        {XK_Up, VK_UP},
        {XK_Right, VK_RIGHT},
        {XK_Down, VK_DOWN},
        {XK_Shift_L, VK_SHIFT},
        {XK_Shift_R, VK_SHIFT},
        {XK_Control_L, VK_CONTROL},
        {XK_Control_R, VK_CONTROL},
        {XK_Alt_L, VK_MENU},
        {XK_Alt_R, VK_MENU},
        {XK_Meta_L, VK_MENU},
        {XK_Meta_R, VK_MENU},
        {XK_Super_L, VK_LWIN},
        {XK_Super_R, VK_RWIN},
        {XK_Menu, VK_APPS},
        {XK_Caps_Lock, VK_CAPITAL},
        {XK_Num_Lock, VK_NUMLOCK},
        {XK_Scroll_Lock, VK_SCROLL},
        {XK_Pause, VK_PAUSE},
        {XK_Print, VK_SNAPSHOT},
        {XK_minus, VK_OEM_MINUS},
        {XK_equal, VK_OEM_PLUS},
        {XK_bracketleft, VK_OEM_4},
        {XK_bracketright, VK_OEM_6},
        {XK_backslash, VK_OEM_5},
        {XK_semicolon, VK_OEM_1},
        {XK_apostrophe, VK_OEM_7},
        {XK_grave, VK_OEM_3},
        {XK_comma, VK_OEM_COMMA},
        {XK_period, VK_OEM_PERIOD},
        {XK_slash, VK_OEM_2},
        {XK_KP_Multiply, VK_MULTIPLY},
        {XK_KP_Add, VK_ADD},
        {XK_KP_Subtract, VK_SUBTRACT},
        {XK_KP_Decimal, VK_DECIMAL},
        {XK_KP_Divide, VK_DIVIDE},
    };
    auto it = keys.find(ks);
    return it == keys.end() ? 0 : it->second;
}

// Latin-1 text from XLookupString as UTF-8.
std::string Utf8FromLatin1(const char* text, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++shift;
    return shift;
}

} // namespace

struct X11Presenter::Impl {
    Display* display = nullptr;
    ::Window window = 0;
    GC gc{};
    Atom wmDelete = 0;
    Visual* visual = nullptr;
    int depth = 0;
    int redShift = 16, greenShift = 8, blueShift = 0;
    RECT virt{};
    RECT exposed{};
    POINT pointer{-1, -1};
    bool closed = false;
    std::vector<std::uint32_t> buffer;

    bool Open(const char* name);
    void Close();
    // True when the event became a key or button of the window system.
    bool Handle(XEvent& e);
    void MovePointer(int x, int y);
    bool Key(XKeyEvent& e, bool down);
    void Repaint();
};

bool X11Presenter::Impl::Open(const char* name) {
    XSetErrorHandler(&IgnoreXErrors);
    display = XOpenDisplay(name);
    if (!display) return false;
    const int screen = DefaultScreen(display);
    visual = DefaultVisual(display, screen);
    depth = DefaultDepth(display, screen);
    if (visual->c_class != TrueColor || (depth != 24 && depth != 32)) {
        XCloseDisplay(display);
        display = nullptr;
        return false;
    }
    redShift = ShiftOf(visual->red_mask);
    greenShift = ShiftOf(visual->green_mask);
    blueShift = ShiftOf(visual->blue_mask);

    virt = detail::VirtualScreenRect();
    const unsigned width = static_cast<unsigned>(virt.Width()), height = static_cast<unsigned>(virt.Height());
    window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                 BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "Trestle");
    XSelectInput(display, window,
                 ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                     PointerMotionMask | FocusChangeMask | StructureNotifyMask);
    wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &wmDelete, 1);
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = static_cast<int>(width);
    hints->min_height = hints->max_height = static_cast<int>(height);
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
    gc = XCreateGC(display, window, 0, nullptr);
    XMapWindow(display, window);
    XFlush(display);
    closed = false;
    exposed = virt;
    // AnimateWindow runs no message loop; its frames are shown from here.
    detail::SetFrameObserver([this] {
        Repaint();
        XFlush(display);
    });
    return true;
}

void X11Presenter::Impl::Close() {
    if (!display) return;
    detail::SetFrameObserver(nullptr);
    if (gc) XFreeGC(display, gc);
    if (window) XDestroyWindow(display, window);
    XCloseDisplay(display);
    display = nullptr;
    window = 0;
    gc = nullptr;
}

void X11Presenter::Impl::MovePointer(int x, int y) {
    const POINT p{x + virt.left, y + virt.top};
    if (p == pointer) return;
    pointer = p;
    InjectMouseMove(p);
}

bool X11Presenter::Impl::Key(XKeyEvent& e, bool down) {
    char text[16];
    KeySym sym = 0;
    const int length = XLookupString(&e, text, sizeof text, &sym, nullptr);
    int vk = VirtualKeyOf(XLookupKeysym(&e, 0));
    const std::string chars = Utf8FromLatin1(text, std::max(length, 0));
    const bool ascii = std::all_of(chars.begin(), chars.end(), [](char c) { return (c & 0x80) == 0; });
    if (vk == 0) {
        if (chars.empty() || ascii) return false;
        vk = VK_PACKET;
    }
    // ASCII comes from the key map, which knows the modifier state; other
    // text is passed as the server produced it.
    InjectKey(vk, down, down && !ascii ? chars.c_str() : nullptr);
    return true;
}

bool X11Presenter::Impl::Handle(XEvent& e) {
    switch (e.type) {
        case Expose: {
            RECT r{e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height};
            OffsetRect(&r, virt.left, virt.top);
            UnionRect(&exposed, &exposed, &r);
            break;
        }
        case MotionNotify:
            MovePointer(e.xmotion.x, e.xmotion.y);
            break;
        case ButtonPress:
        case ButtonRelease: {
            MovePointer(e.xbutton.x, e.xbutton.y);
            const bool down = e.type == ButtonPress;
            switch (e.xbutton.button) {
                case Button1:
                    InjectMouseButton(MouseButton::Left, down);
                    return true;
                case Button2:
                    InjectMouseButton(MouseButton::Middle, down);
                    return true;
                case Button3:
                    InjectMouseButton(MouseButton::Right, down);
                    return true;
                case Button4:
                    if (!down) break;
                    InjectMouseWheel(WHEEL_DELTA);
                    return true;
                case Button5:
                    if (!down) break;
                    InjectMouseWheel(-WHEEL_DELTA);
                    return true;
                default:
                    break;
            }
            break;
        }
        case KeyPress:
        case KeyRelease:
            return Key(e.xkey, e.type == KeyPress);
        case FocusIn:
        case FocusOut:
            // Focus moving inside our window or following the pointer is no change of application.
            if (e.xfocus.detail != NotifyInferior && e.xfocus.detail != NotifyPointer)
                SetApplicationForeground(e.type == FocusIn);
            break;
        case ClientMessage:
            if (static_cast<Atom>(e.xclient.data.l[0]) == wmDelete) closed = true;
            break;
        case DestroyNotify:
            if (e.xdestroywindow.window == window) closed = true, window = 0;
            break;
        default:
            break;
    }
    return false;
}

void X11Presenter::Impl::Repaint() {
    if (!display || !window) return;
    RECT r = detail::TakeScreenChanges();
    UnionRect(&r, &r, &exposed);
    exposed = RECT{};
    if (!IntersectRect(&r, &r, &virt)) return;
    const int width = r.Width(), height = r.Height();
    buffer.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    {
        detail::Guard g(detail::Lock());
        BitmapSurface s;
        if (!GetBitmapSurface(GetScreenBitmap(), &s)) return;
        std::uint32_t* out = buffer.data();
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* row = s.Row(y - virt.top) + (r.left - virt.left);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = row[x];
                *out++ = (((p >> 16) & 0xFF) << redShift) | (((p >> 8) & 0xFF) << greenShift) |
                         ((p & 0xFF) << blueShift);
            }
        }
    }
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(buffer.data()), static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 32, width * 4);
    if (!image) return;
    XPutImage(display, window, gc, image, 0, 0, r.left - virt.left, r.top - virt.top,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
    image->data = nullptr; // the buffer is ours
    XDestroyImage(image);
}

X11Presenter::X11Presenter() : impl_(std::make_unique<Impl>()) {}

X11Presenter::~X11Presenter() {
    Close();
}

bool X11Presenter::Open(const char* display) {
    Close();
    if (!impl_->Open(display)) return false;
    // The desktop the window system stands for ran with visual styles on.
    SetTheme(ThemeScheme::Blue);
    return true;
}

void X11Presenter::Close() {
    impl_->Close();
}

bool X11Presenter::Pump() {
    Impl& p = *impl_;
    if (!p.display) return false;
    // One key or button a call: the program reads the state of the keys as
    // it handles each one (Shift held for F10, say), and keys that came
    // together from the server would otherwise all be up by then.
    while (XPending(p.display)) {
        XEvent e;
        XNextEvent(p.display, &e);
        if (p.Handle(e)) break;
    }
    if (p.closed) return false;
    // A new monitor layout resizes the window.
    const RECT virt = detail::VirtualScreenRect();
    if (!EqualRect(&virt, &p.virt)) {
        p.virt = virt;
        XResizeWindow(p.display, p.window, static_cast<unsigned>(virt.Width()),
                      static_cast<unsigned>(virt.Height()));
        p.exposed = virt;
    }
    p.Repaint();
    XFlush(p.display);
    return true;
}

int X11Presenter::ConnectionFd() const {
    return impl_->display ? ConnectionNumber(impl_->display) : -1;
}

} // namespace win
