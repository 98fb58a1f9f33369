# Sourced by the measuring scripts: finding and driving Spindrel's window as a user would.

# The visible Spindrel window, or nothing.
window() { xdotool search --onlyvisible --name '^Spindrel$' 2>/dev/null | head -1; }
# Sets x and y to an X window's top-left corner on the screen.
top_left() {
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "x=" $4} /Absolute upper-left Y/ {print "y=" $4}')"
}
# Types the named keys into the window, one by one.
press() {
    xdotool windowfocus "$(window)"
    for key in "$@"; do xdotool key "$key"; sleep 0.2; done
    sleep 0.4
}
