// Replaced as the features grow.
