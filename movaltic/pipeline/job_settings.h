// Settings of one filtering job, shared by the window, the dialogs and the pipeline.
#pragma once

namespace movaltic {
}  // namespace movaltic
