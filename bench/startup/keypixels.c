// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

/* Key to pixels: how long a program takes from a key press until the pixels it changed reach the
 * X server.
 *
 * Usage: keypixels [-n KEYS] [-k DIGITS] [-c EVERY] [-q QUIET_MS] [-a] [-v] (-p PID | -w TITLE)
 *
 * Finds the program's managed top-level window by _NET_WM_PID or by title (waiting up to 20 s),
 * asks the window manager to activate it and waits until it holds the input focus. Then KEYS times
 * (default 200) it presses and releases the next of DIGITS (default 123456789, cycled) through
 * XTest, both in one go as a quick typist's stroke, and waits for the DamageNotify that follows.
 * After every EVERY digits (default 8, 0 for never) it presses Escape, untimed, so that a display
 * that appends digits does not grow long.
 *
 * Damage is taken on the top-level window in raw rectangles: each drawing request that reaches it,
 * or a window inside it, is an event. The first event after the key is when the first changed
 * pixels reached the server, and is the figure to compare. The events that follow it at gaps under
 * 5 ms are the rest of the same repaint; the last of them is when that repaint was complete. Later
 * drawing (a pressed button's animation, say) is not timed, but the next key waits until the
 * window has been quiet for QUIET_MS (default 60), so a key never meets the tail of the one before.
 * A key that draws nothing within a second is counted as missed, and five in a row end the run; so
 * do a window that never falls quiet for 5 s, the window closed or hidden, an X error or a lost
 * connection.
 *
 * Prints one line: "KEYS MISSED FIRST_MEDIAN FIRST_Q1 FIRST_Q3 LAST_MEDIAN LAST_Q1 LAST_Q3 EVENTS",
 * times in milliseconds from just before the key's requests were sent, EVENTS the median number of
 * damage events of a key's repaint. With -a, first "key DIGIT FIRST LAST EVENTS" for every key;
 * with -v, every damage event on standard error. Exits 0 when every key drew, 1 when some did
 * not, 2 when the run could not be made. */
#define _POSIX_C_SOURCE 200809L
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <poll.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

/* Damage events closer than burstMs belong to one repaint; the limits are in milliseconds. */
enum
{
    burstMs = 5,
    timeoutMs = 1000,
    settleLimitMs = 5000,
    findLimitMs = 20000
};

static xcb_connection_t *connection;
static xcb_window_t root;
static uint8_t damageEvent;
static bool verbose;

static double nowMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

static void sleepMs(long ms)
{
    const struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

static _Noreturn void fail(const char *why)
{
    fprintf(stderr, "keypixels: %s\n", why);
    exit(2);
}

static xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, (uint16_t)strlen(name), name), NULL);
    const xcb_atom_t found = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return found;
}

/* The property's value, or NULL; the caller frees the reply. */
static xcb_get_property_reply_t *property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, 4096), NULL);
    if (reply && xcb_get_property_value_length(reply) > 0) {
        return reply;
    }
    free(reply);
    return NULL;
}

static bool isViewable(xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), NULL);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    free(reply);
    return viewable;
}

/* A viewable client window the window manager lists whose _NET_WM_PID is pid or whose title is
 * title, or XCB_NONE. */
static xcb_window_t findClient(long pid, const char *title)
{
    const xcb_atom_t clients = atom("_NET_CLIENT_LIST"), wmPid = atom("_NET_WM_PID"),
                     wmName = atom("_NET_WM_NAME"), utf8 = atom("UTF8_STRING");
    xcb_get_property_reply_t *list = property(root, clients, XCB_ATOM_WINDOW);
    if (!list) {
        return XCB_NONE;
    }
    const xcb_window_t *windows = xcb_get_property_value(list);
    const int count = xcb_get_property_value_length(list) / (int)sizeof(xcb_window_t);
    xcb_window_t found = XCB_NONE;
    for (int i = 0; i < count && found == XCB_NONE; ++i) {
        xcb_get_property_reply_t *value = title ? property(windows[i], wmName, utf8)
                                                : property(windows[i], wmPid, XCB_ATOM_CARDINAL);
        bool match = false;
        if (value && title) {
            const int length = xcb_get_property_value_length(value);
            match = length == (int)strlen(title) &&
                    memcmp(xcb_get_property_value(value), title, (size_t)length) == 0;
        } else if (value && value->format == 32) {
            match = *(const uint32_t *)xcb_get_property_value(value) == (uint32_t)pid;
        }
        free(value);
        if (match && isViewable(windows[i])) {
            found = windows[i];
        }
    }
    free(list);
    return found;
}

/* Waits for the next damage event until the time deadline. Returns its time, or 0 at the deadline.
 * Other events are dropped; an X error or a lost connection ends the run. */
static double nextDamage(double deadline)
{
    for (;;) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection)) {
                fail("the connection to the X server broke");
            }
            const double left = deadline - nowMs();
            if (left <= 0) {
                return 0;
            }
            struct pollfd wait = {xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&wait, 1, (int)left + 1);
            continue;
        }
        const double at = nowMs();
        const uint8_t type = event->response_type & 0x7f;
        if (type == 0) {
            const xcb_generic_error_t *error = (const xcb_generic_error_t *)event;
            fprintf(stderr, "keypixels: X error %d (request %d.%d); has the window ended?\n",
                    error->error_code, error->major_code, error->minor_code);
            exit(2);
        }
        if (type == XCB_DESTROY_NOTIFY || type == XCB_UNMAP_NOTIFY) {
            fail("the window was closed or hidden");
        }
        if (type == damageEvent) {
            const xcb_damage_notify_event_t *damage = (const xcb_damage_notify_event_t *)event;
            if (verbose) {
                fprintf(stderr, "  %.3f damage 0x%x %dx%d+%d+%d\n", at, damage->drawable,
                        damage->area.width, damage->area.height, damage->area.x, damage->area.y);
            }
            free(event);
            return at;
        }
        free(event);
    }
}

/* Waits until no damage came for quietMs. */
static void settle(int quietMs)
{
    const double limit = nowMs() + settleLimitMs;
    while (nextDamage(nowMs() + quietMs) != 0) {
        if (nowMs() > limit) {
            fail("the window never stopped drawing");
        }
    }
}

static xcb_keycode_t keycodeOf(xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *map = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, (uint8_t)count), NULL);
    xcb_keycode_t found = 0;
    if (map) {
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int code = 0; code < count && !found; ++code) {
            if (syms[code * map->keysyms_per_keycode] == keysym) {
                found = (xcb_keycode_t)(setup->min_keycode + code);
            }
        }
        free(map);
    }
    return found;
}

/* Presses and releases the key; returns the time just before the requests left. */
static double strike(xcb_keycode_t key)
{
    xcb_test_fake_input(connection, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection, XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    const double at = nowMs();
    xcb_flush(connection);
    return at;
}

static bool holdsFocus(xcb_window_t window)
{
    xcb_get_input_focus_reply_t *focus =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), NULL);
    xcb_window_t at = focus ? focus->focus : XCB_NONE;
    free(focus);
    while (at != XCB_NONE && at != root && at != window) {
        xcb_query_tree_reply_t *tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, at), NULL);
        at = tree ? tree->parent : XCB_NONE;
        free(tree);
    }
    return at == window;
}

static void activate(xcb_window_t window)
{
    xcb_client_message_event_t message = {.response_type = XCB_CLIENT_MESSAGE,
                                          .format = 32,
                                          .window = window,
                                          .type = atom("_NET_ACTIVE_WINDOW"),
                                          .data.data32 = {2, XCB_CURRENT_TIME, 0, 0, 0}};
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   (const char *)&message);
    xcb_flush(connection);
    for (int tries = 0; tries < 500 && !holdsFocus(window); ++tries) {
        sleepMs(10);
    }
    if (!holdsFocus(window)) {
        fail("the window never got the focus");
    }
}

static int byValue(const void *a, const void *b)
{
    const double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

/* The p-quantile of the count values, sorting them, interpolated between neighbours. */
static double quantile(double *values, int count, double p)
{
    if (count == 0) {
        return 0;
    }
    qsort(values, (size_t)count, sizeof *values, byValue);
    const double at = p * (count - 1);
    const int below = (int)at;
    return below + 1 < count ? values[below] + (at - below) * (values[below + 1] - values[below])
                             : values[below];
}

int main(int argc, char *argv[])
{
    int keys = 200, clearEvery = 8, quietMs = 60, option;
    long pid = 0;
    const char *digits = "123456789", *title = NULL;
    bool eachKey = false;
    while ((option = getopt(argc, argv, "n:k:c:q:p:w:av")) != -1) {
        switch (option) {
        case 'n':
            keys = atoi(optarg);
            break;
        case 'k':
            digits = optarg;
            break;
        case 'c':
            clearEvery = atoi(optarg);
            break;
        case 'q':
            quietMs = atoi(optarg);
            break;
        case 'p':
            pid = atol(optarg);
            break;
        case 'w':
            title = optarg;
            break;
        case 'a':
            eachKey = true;
            break;
        case 'v':
            verbose = true;
            break;
        default:
            return 2;
        }
    }
    if (keys < 1 || keys > 100000 || quietMs < 1 || clearEvery < 0 ||
        (pid <= 0) == (title == NULL) || strspn(digits, "0123456789") != strlen(digits) ||
        !*digits) {
        fputs("usage: keypixels [-n KEYS] [-k DIGITS] [-c EVERY] [-q QUIET_MS] [-a] [-v] "
              "(-p PID | -w TITLE)\n",
              stderr);
        return 2;
    }

    connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fail("cannot open the display");
    }
    root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    const xcb_query_extension_reply_t *test = xcb_get_extension_data(connection, &xcb_test_id);
    if (!damage || !damage->present || !test || !test->present) {
        fail("the X server lacks the DAMAGE or the XTEST extension");
    }
    damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    free(xcb_damage_query_version_reply(
        connection,
        xcb_damage_query_version(connection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        NULL));

    xcb_window_t window = XCB_NONE;
    for (double until = nowMs() + findLimitMs; window == XCB_NONE && nowMs() < until;) {
        window = findClient(pid, title);
        if (window == XCB_NONE) {
            sleepMs(50);
        }
    }
    if (window == XCB_NONE) {
        fail("no such window appeared");
    }
    xcb_keycode_t codes[10];
    bool mapped = true;
    for (int digit = 0; digit < 10; ++digit) {
        codes[digit] = keycodeOf((xcb_keysym_t)('0' + digit));
        mapped = mapped && codes[digit];
    }
    const xcb_keycode_t escape = keycodeOf(0xff1b);
    if (!mapped || !escape) {
        fail("the keyboard map lacks the digits or Escape");
    }
    /* On the top-level alone: the server reports drawing in a child window on its parent as
     * well. Qt draws a window's widgets into its one X window; GTK 3 draws galculator's into its
     * top-level, whose only child is a 1x1 input-only window. */
    xcb_damage_create(connection, xcb_generate_id(connection), window,
                      XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &structure);
    activate(window);
    settle(quietMs);

    double *first = calloc((size_t)keys, sizeof *first), *last = calloc((size_t)keys, sizeof *last),
           *events = calloc((size_t)keys, sizeof *events);
    if (!first || !last || !events) {
        fail("out of memory");
    }
    int drawn = 0, missedInTurn = 0;
    for (int i = 0; i < keys && missedInTurn < 5; ++i) {
        if (clearEvery > 0 && i > 0 && i % clearEvery == 0) {
            strike(escape);
            settle(quietMs);
        }
        const char digit = digits[(size_t)i % strlen(digits)];
        if (verbose) {
            fprintf(stderr, "key %c\n", digit);
        }
        const double start = strike(codes[digit - '0']);
        const double firstAt = nextDamage(start + timeoutMs);
        if (firstAt == 0) {
            fprintf(stderr, "keypixels: no damage within %d ms of key %c\n", timeoutMs, digit);
            settle(quietMs); /* should it draw late, not into the next key's time */
            ++missedInTurn;
            continue;
        }
        missedInTurn = 0;
        int count = 1;
        double lastAt = firstAt, at;
        while (lastAt - firstAt < settleLimitMs && (at = nextDamage(lastAt + burstMs)) != 0) {
            lastAt = at;
            ++count;
        }
        settle(quietMs);
        first[drawn] = firstAt - start;
        last[drawn] = lastAt - start;
        events[drawn] = count;
        if (eachKey) {
            printf("key %c %.3f %.3f %d\n", digit, first[drawn], last[drawn], count);
        }
        ++drawn;
    }
    printf("%d %d %.3f %.3f %.3f %.3f %.3f %.3f %.0f\n", drawn, keys - drawn,
           quantile(first, drawn, 0.5), quantile(first, drawn, 0.25), quantile(first, drawn, 0.75),
           quantile(last, drawn, 0.5), quantile(last, drawn, 0.25), quantile(last, drawn, 0.75),
           quantile(events, drawn, 0.5));
    xcb_disconnect(connection);
    return drawn == keys ? 0 : 1;
}
