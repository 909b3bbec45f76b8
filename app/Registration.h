#pragma once
// Makes the application's classes known to the platform by the names the layouts use:
// the delegate and root controller of "MainWindow" and the intro's view class.

namespace plumbrick {

// Safe to call more than once.
void registerApplicationClasses();

}   // namespace plumbrick
