/* Linked lists, structures, pointers and the usual statements. */
#include <stdio.h>
#include <stdlib.h>
#define MAX 100

typedef struct node {
	int value;
	struct node *next;
} node_t;

enum colour { RED, GREEN = 4, BLUE };
static const char *names[] = { "red", "green", "blue", };
unsigned long counter = 0UL;
extern int errno;

node_t *push(node_t *head, int value)
{
	node_t *n = (node_t *) malloc(sizeof(node_t));
	if (n == NULL)
		return head;
	n->value = value;
	n->next = head;
	return n;
}

int sum(const node_t *n)
{
	int total = 0;
	for (; n != 0; n = n->next)
		total += n->value;
	return total;
}

int main(int argc, char **argv)
{
	node_t *list = 0;
	int i, j;
	double ratio = 1.5e3, small = .25f;
	char c = '\n';

	for (i = 0; i < MAX; i++) {
		if (i % 2 == 0)
			if (i % 3 == 0)
				list = push(list, i);
			else
				continue;
		else if (i > 50 && !(i & 1))
			break;
	}
	j = sum(list) > 10 ? sum(list) : -1;
	switch (j) {
	case 0:
		printf("none\n");
		break;
	case RED + 1:
	default:
		printf("%d %s\n", j, names[j % 3]);
	}
	do {
		j >>= 1;
		counter++;
	} while (j);
	while (--i >= 0 && list)
		list = list->next;
	goto done;
done:
	return (int) (ratio * small) + c - argc;
}
