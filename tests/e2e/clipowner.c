// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A program holding the X CLIPBOARD the way a hung or a careful owner does, for the end-to-end
// suites. It takes the clipboard, prints "owned" once it holds it, and serves requests until
// another program takes the clipboard or it is ended, printing "ended" as each transfer of its text
// ends. Like a careful owner it refuses a request made at CurrentTime rather than at an X server's
// time.
//   clipowner silent [FILE]      answers no request at all
//   clipowner incr SIZE FILE     sends FILE's text as UTF8_STRING in pieces of SIZE bytes (INCR),
//                                one transfer at a time, the way owners send large texts; a
//                                transfer whose reader leaves is dropped
//   clipowner vanish SIZE FILE   the same, but destroys its window and ends after the first piece
//   clipowner latin1 FILE        has FILE's text as STRING (Latin-1) only, sent in one piece
//   clipowner as TYPE FILE       answers a request for UTF8_STRING or STRING with FILE's bytes in
//                                one piece, calling them TYPE (STRING, COMPOUND_TEXT, ...)
#include <xcb/xcb.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static xcb_connection_t *c;

static xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return a;
}

static void notify(const xcb_selection_request_event_t *req, xcb_atom_t property)
{
    xcb_selection_notify_event_t n = {0};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = req->time;
    n.requestor = req->requestor;
    n.selection = req->selection;
    n.target = req->target;
    n.property = property;
    xcb_send_event(c, 0, req->requestor, 0, (const char *)&n);
}

// Tells the suite that a transfer is over, sent whole or dropped by its reader, once the X server
// has taken everything sent before: a key the suite presses after this reaches the reader after
// the text.
static void ended(void)
{
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL));
    printf("ended\n");
    fflush(stdout);
}

static char *readFile(const char *path, long *size)
{
    FILE *f = fopen(path, "rb");
    if (!f || fseek(f, 0, SEEK_END) != 0 || (*size = ftell(f)) < 0) {
        return NULL;
    }
    char *text = malloc((size_t)*size + 1);
    rewind(f);
    if (!text || fread(text, 1, (size_t)*size, f) != (size_t)*size) {
        return NULL;
    }
    fclose(f);
    return text;
}

int main(int argc, char **argv)
{
    const char *mode = argc > 1 ? argv[1] : "";
    const int vanish = argc == 4 && strcmp(mode, "vanish") == 0;
    const int incr = vanish || (argc == 4 && strcmp(mode, "incr") == 0);
    const int latin1 = argc == 3 && strcmp(mode, "latin1") == 0;
    const int as = argc == 4 && strcmp(mode, "as") == 0;
    if (!incr && !latin1 && !as && strcmp(mode, "silent") != 0) {
        fprintf(stderr, "usage: clipowner silent | clipowner incr|vanish SIZE FILE | "
                        "clipowner latin1 FILE | clipowner as TYPE FILE\n");
        return 2;
    }
    long size = 0, piece = incr ? atol(argv[2]) : 1;
    char *text = argc > 2 ? readFile(argv[argc - 1], &size) : NULL;
    c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c) || (argc > 2 && (!text || piece <= 0))) {
        fprintf(stderr, "clipowner: no X server, or no text\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, NULL);
    const xcb_atom_t clipboard = atom("CLIPBOARD"), utf8 = atom("UTF8_STRING"),
                     incrType = atom("INCR"), replyType = as ? atom(argv[2]) : XCB_ATOM_NONE;
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), NULL);
    if (!owner || owner->owner != window) {
        fprintf(stderr, "clipowner: the clipboard was not taken\n");
        return 1;
    }
    free(owner);
    printf("owned\n");
    fflush(stdout);

    // The transfer under way: its reader's window and property, and how much was sent.
    xcb_window_t reader = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    long sent = 0;
    xcb_generic_event_t *event;
    while ((event = xcb_wait_for_event(c))) {
        switch (event->response_type & 0x7f) {
        case XCB_SELECTION_CLEAR:
            return 0;
        case XCB_SELECTION_REQUEST: {
            const xcb_selection_request_event_t *req = (void *)event;
            if (!incr && !latin1 && !as) {
                break;
            }
            if (req->time == XCB_CURRENT_TIME) {
                notify(req, XCB_NONE);
            } else if ((latin1 && req->target == XCB_ATOM_STRING) ||
                       (as && (req->target == utf8 || req->target == XCB_ATOM_STRING))) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, req->property,
                                    as ? replyType : XCB_ATOM_STRING, 8, (uint32_t)size, text);
                notify(req, req->property);
                ended();
            } else if (incr && req->target == utf8 && reader == XCB_NONE) {
                // The reader deletes the INCR property to ask for the first piece.
                reader = req->requestor;
                property = req->property;
                sent = 0;
                const uint32_t events =
                    XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(c, reader, XCB_CW_EVENT_MASK, &events);
                const uint32_t lowerBound = (uint32_t)size;
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, reader, property, incrType, 32, 1,
                                    &lowerBound);
                notify(req, property);
            } else {
                notify(req, XCB_NONE);
            }
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const xcb_property_notify_event_t *p = (void *)event;
            if (p->window == reader && p->atom == property && p->state == XCB_PROPERTY_DELETE) {
                // Each deletion asks for the next piece; an empty one ends the transfer.
                const long n = size - sent < piece ? size - sent : piece;
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, reader, property, utf8, 8,
                                    (uint32_t)n, text + sent);
                if (vanish) {
                    xcb_destroy_window(c, window);
                    xcb_flush(c);
                    return 0;
                }
                if (n == 0) {
                    const uint32_t none = 0;
                    xcb_change_window_attributes(c, reader, XCB_CW_EVENT_MASK, &none);
                    reader = XCB_NONE;
                    ended();
                }
                sent += n;
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (((const xcb_destroy_notify_event_t *)event)->window == reader) {
                reader = XCB_NONE;
                ended();
            }
            break;
        }
        free(event);
        xcb_flush(c);
    }
    return 0;
}
