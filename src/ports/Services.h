#pragma once

class SoundPlayer;
class PictureLoader;
class BrowserFactory;
class Transfer;
class FileDialogs;
class ProcessEnd;
class RandomSource;
class Messages;

// Everything a window may ask of the platform, messages to the user included. main.cpp builds the real ones;
// tests build doubles (tests/support). The services outlive the App.
struct Services {
    SoundPlayer& sound;
    PictureLoader& pictures;
    BrowserFactory& browsers;
    Transfer& transfer;
    FileDialogs& dialogs;
    ProcessEnd& process;
    RandomSource& random;
    Messages& messages;
};
