// The platform's picture loaders as Image readers, for the window side to install.
#pragma once

// Makes Image::Load try the platform's bitmap loader and picture decoders too, bounded as the
// framework's own readers are. GLApp's constructor calls it; so does a test or a tool that
// wants the platform decoders without an application object.
void InstallPlatformImageReaders();
