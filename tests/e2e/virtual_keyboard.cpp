// A virtual keyboard for a wlroots compositor that hands the compositor the keymap of a real
// layout, compiled by libxkbcommon from xkeyboard-config ("de", "us(dvorak)", "de,us"), and
// types with that layout's own key codes: what a learner's keyboard sends. (wtype makes up a
// keymap of its own for the characters it types, so a client reading the keymap would see no
// real layout.)
//
// Usage: virtual_keyboard LAYOUT   with WAYLAND_DISPLAY set. Commands on standard input, one a
// line; each is answered on standard output by "ok" once the compositor has taken it, or by
// "error ..." :
//   type TEXT        each character by the key and level that type it in the current group
//   key NAME         one key by its keysym name, with "ctrl+", "shift+" or "alt+" before it
//   keymap LAYOUT    hands the compositor another layout's keymap
//   group N          locks group N (0 is the first layout)
//   delay MS         waits MS milliseconds after each key of what follows
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

// The virtual-keyboard-unstable-v1 protocol of wlroots, declared here: two interfaces, five
// requests.
extern const struct wl_interface zwp_virtual_keyboard_v1_interface;
static const struct wl_interface* keyboard_types[] = {
    NULL, NULL, NULL, NULL, &wl_seat_interface, &zwp_virtual_keyboard_v1_interface,
};
static const struct wl_message keyboard_requests[] = {
    {"keymap", "uhu", keyboard_types},
    {"key", "uuu", keyboard_types},
    {"modifiers", "uuuu", keyboard_types},
    {"destroy", "", keyboard_types},
};
const struct wl_interface zwp_virtual_keyboard_v1_interface = {
    "zwp_virtual_keyboard_v1", 1, 4, keyboard_requests, 0, NULL,
};
static const struct wl_message manager_requests[] = {
    {"create_virtual_keyboard", "on", keyboard_types + 4},
};
static const struct wl_interface manager_interface = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, manager_requests, 0, NULL,
};
enum { KEYMAP, KEY, MODIFIERS };

static struct wl_display* display;
static struct wl_seat* seat;
static struct wl_proxy* manager;
static struct wl_proxy* keyboard;
static struct xkb_context* context;
static struct xkb_keymap* keymap;
static uint32_t group;
static int delay_ms;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (strcmp(interface, manager_interface.name) == 0)
        manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &manager_interface, 1));
}
static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}
static const struct wl_registry_listener registry_listener = {global, global_remove};

static uint32_t now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

// "de,us(dvorak)" -> layouts "de,us", variants ",dvorak".
static int load_keymap(const char* names) {
    char layouts[256] = "", variants[256] = "";
    const char* p = names;
    while (*p) {
        const char* end = strchr(p, ',');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        const char* open = static_cast<const char*>(memchr(p, '(', n));
        size_t layout_n = open ? (size_t)(open - p) : n;
        if (strlen(layouts) + n + 2 > sizeof layouts)
            return 0;
        if (*layouts || p != names) {
            strcat(layouts, ",");
            strcat(variants, ",");
        }
        strncat(layouts, p, layout_n);
        if (open && n > layout_n + 2)
            strncat(variants, open + 1, n - layout_n - 2);
        p += n + (end ? 1 : 0);
    }
    struct xkb_rule_names rules = {"evdev", "pc105", layouts, variants, ""};
    struct xkb_keymap* compiled =
        xkb_keymap_new_from_names(context, &rules, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!compiled)
        return 0;
    char* text = xkb_keymap_get_as_string(compiled, XKB_KEYMAP_FORMAT_TEXT_V1);
    size_t size = strlen(text) + 1;
    int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)size) != 0) {
        free(text);
        return 0;
    }
    char* map = static_cast<char*>(mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    memcpy(map, text, size);
    munmap(map, size);
    free(text);
    wl_proxy_marshal(keyboard, KEYMAP, XKB_KEYMAP_FORMAT_TEXT_V1, fd, (uint32_t)size);
    close(fd);
    if (keymap)
        xkb_keymap_unref(keymap);
    keymap = compiled;
    group = 0;
    return 1;
}

static uint32_t mask_of(const char* name) {
    xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
    return index == XKB_MOD_INVALID ? 0 : 1u << index;
}

static void send_modifiers(uint32_t depressed) {
    wl_proxy_marshal(keyboard, MODIFIERS, depressed, 0u, 0u, group);
}

// One key struck, with `mods` held down around it.
static void strike(xkb_keycode_t key, uint32_t mods) {
    if (mods)
        send_modifiers(mods);
    wl_proxy_marshal(keyboard, KEY, now_ms(), key - 8, 1u);
    wl_proxy_marshal(keyboard, KEY, now_ms(), key - 8, 0u);
    if (mods)
        send_modifiers(0);
    wl_display_roundtrip(display);
    if (delay_ms > 0)
        usleep((useconds_t)delay_ms * 1000);
}

// The key and modifiers that give `sym` in the current group, by the lowest level.
static int find_key(xkb_keysym_t sym, xkb_keycode_t* found, uint32_t* mods) {
    for (xkb_level_index_t level = 0; level < 4; ++level) {
        for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap);
             key <= xkb_keymap_max_keycode(keymap); ++key) {
            const xkb_keysym_t* syms = NULL;
            if (xkb_keymap_key_get_syms_by_level(keymap, key, group, level, &syms) != 1 ||
                syms[0] != sym)
                continue;
            xkb_mod_mask_t masks[4];
            if (xkb_keymap_key_get_mods_for_level(keymap, key, group, level, masks, 4) < 1)
                continue;
            *found = key;
            *mods = masks[0];
            return 1;
        }
    }
    return 0;
}

static int type_text(const char* text) {
    size_t i = 0, n = strlen(text);
    while (i < n) {
        // One UTF-8 character.
        uint32_t c = (unsigned char)text[i];
        int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
        c &= extra ? (0x3fu >> extra) : 0x7fu;
        for (int k = 1; k <= extra && i + (size_t)k < n; ++k)
            c = (c << 6) | ((unsigned char)text[i + (size_t)k] & 0x3f);
        i += (size_t)extra + 1;
        xkb_keycode_t key;
        uint32_t mods;
        if (!find_key(xkb_utf32_to_keysym(c), &key, &mods)) {
            printf("error no key types U+%04X\n", c);
            return 0;
        }
        strike(key, mods);
    }
    return 1;
}

static int type_key(char* spec) {
    uint32_t mods = 0;
    char* plus;
    while ((plus = strchr(spec, '+')) && plus[1]) {
        *plus = 0;
        if (strcmp(spec, "ctrl") == 0)
            mods |= mask_of(XKB_MOD_NAME_CTRL);
        else if (strcmp(spec, "shift") == 0)
            mods |= mask_of(XKB_MOD_NAME_SHIFT);
        else if (strcmp(spec, "alt") == 0)
            mods |= mask_of(XKB_MOD_NAME_ALT);
        spec = plus + 1;
    }
    xkb_keysym_t sym = xkb_keysym_from_name(spec, XKB_KEYSYM_CASE_INSENSITIVE);
    xkb_keycode_t key;
    uint32_t level_mods;
    if (sym == XKB_KEY_NoSymbol || !find_key(sym, &key, &level_mods)) {
        printf("error no key %s\n", spec);
        return 0;
    }
    strike(key, mods | level_mods);
    return 1;
}

int main(int argc, char* argv[]) {
    if (argc != 2) {
        fprintf(stderr, "usage: virtual_keyboard LAYOUT\n");
        return 2;
    }
    display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "virtual_keyboard: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!seat || !manager) {
        fprintf(stderr, "virtual_keyboard: the compositor offers no virtual keyboards\n");
        return 1;
    }
    keyboard =
        wl_proxy_marshal_constructor(manager, 0, &zwp_virtual_keyboard_v1_interface, seat, NULL);
    context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context || !load_keymap(argv[1])) {
        fprintf(stderr, "virtual_keyboard: no keymap for %s\n", argv[1]);
        return 1;
    }
    wl_display_roundtrip(display);
    setvbuf(stdout, NULL, _IOLBF, 0);
    printf("ok\n");
    char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\n")] = 0;
        char* arg = strchr(line, ' ');
        if (arg)
            *arg++ = 0;
        else
            arg = line + strlen(line);
        int ok = 1;
        if (strcmp(line, "type") == 0) {
            ok = type_text(arg);
        } else if (strcmp(line, "key") == 0) {
            ok = type_key(arg);
        } else if (strcmp(line, "keymap") == 0) {
            ok = load_keymap(arg);
            if (!ok)
                printf("error no keymap for %s\n", arg);
        } else if (strcmp(line, "group") == 0) {
            group = (uint32_t)atoi(arg);
            send_modifiers(0);
        } else if (strcmp(line, "delay") == 0) {
            delay_ms = atoi(arg);
        } else {
            printf("error unknown command %s\n", line);
            ok = 0;
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "virtual_keyboard: the compositor went away\n");
            return 1;
        }
        if (ok)
            printf("ok\n");
    }
    return 0;
}
