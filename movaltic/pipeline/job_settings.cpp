#include "movaltic/pipeline/job_settings.h"
