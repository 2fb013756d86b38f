float a;

/* never
closed
