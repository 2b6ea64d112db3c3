// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

/* Starts a program in a process group of its own and reports how long it took until its first
 * top-level window became viewable on the X display.
 *
 * Usage: mapwait PROGRAM [ARGS...]
 *
 * Prints "MILLISECONDS GROUP OWNER": the time from just before fork() to the event, the process
 * group of the launch (the launched process's id) and the _NET_WM_PID of the window. The program
 * is left running, for the caller to read its memory and end the group. Exits 1, with the group
 * ended, when no window appeared within 30 s or the launched process ended first.
 *
 * No polling: before forking we listen to the root window's substructure, so every top-level
 * window created reaches us; on each we select VisibilityChange, whose event the server sends
 * when the window goes from not viewable to viewable, which is when the window manager has mapped
 * the window and its frame. A window is the program's when its _NET_WM_PID is in the group. We
 * block on the X connection and on a pidfd of the launched process. */
#define _GNU_SOURCE
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

static xcb_connection_t *connection;
static xcb_atom_t atomPid;
static pid_t child;

static double nowMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

/* The _NET_WM_PID of the window when that process belongs to the launch, or 0. */
static pid_t launchedOwner(xcb_window_t window)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atomPid, XCB_ATOM_CARDINAL, 0, 1),
        NULL);
    pid_t owner = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
        owner = (pid_t) * (uint32_t *)xcb_get_property_value(reply);
    }
    free(reply);
    return owner > 0 && getpgid(owner) == child ? owner : 0;
}

static bool isViewable(xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), NULL);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    free(reply);
    return viewable;
}

int main(int argc, char *argv[])
{
    if (argc < 2) {
        fputs("usage: mapwait PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fputs("mapwait: cannot open the display\n", stderr);
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 11, "_NET_WM_PID"), NULL);
    atomPid = atom ? atom->atom : XCB_ATOM_NONE;
    free(atom);
    /* In force before the program exists, so none of its windows can be created unseen. */
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_request_check(connection, xcb_change_window_attributes_checked(
                                          connection, root, XCB_CW_EVENT_MASK, &rootMask))) {
        fputs("mapwait: cannot listen to the root window\n", stderr);
        return 2;
    }

    const double start = nowMs();
    child = fork();
    if (child == 0) {
        setpgid(0, 0);
        close(xcb_get_file_descriptor(connection));
        dup2(STDERR_FILENO, STDOUT_FILENO); /* our standard output carries the result alone */
        execvp(argv[1], argv + 1);
        perror("mapwait: exec");
        _exit(127);
    }
    if (child < 0) {
        perror("mapwait: fork");
        return 2;
    }
    setpgid(child, child);

    struct pollfd waits[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0},
                              {(int)syscall(SYS_pidfd_open, child, 0), POLLIN, 0}};
    pid_t owner = 0;
    double mappedAt = 0;
    while (owner == 0) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            const int left = (int)(start + 30000 - nowMs());
            if (xcb_connection_has_error(connection) || left <= 0 || poll(waits, 2, left) <= 0 ||
                waits[1].revents) {
                break;
            }
            continue;
        }
        mappedAt = nowMs();
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const xcb_create_notify_event_t *created = (xcb_create_notify_event_t *)event;
            if (created->parent == root && !created->override_redirect) {
                const uint32_t mask = XCB_EVENT_MASK_VISIBILITY_CHANGE;
                xcb_change_window_attributes(connection, created->window, XCB_CW_EVENT_MASK, &mask);
                /* Should it have become viewable before the selection took effect. */
                if (isViewable(created->window)) {
                    owner = launchedOwner(created->window);
                }
            }
        } else if (type == XCB_VISIBILITY_NOTIFY) {
            owner = launchedOwner(((xcb_visibility_notify_event_t *)event)->window);
        }
        free(event);
    }
    if (owner == 0) {
        fputs("mapwait: no window appeared\n", stderr);
        kill(-child, SIGKILL);
        return 1;
    }
    printf("%.3f %d %d\n", mappedAt - start, (int)child, (int)owner);
    return 0;
}
